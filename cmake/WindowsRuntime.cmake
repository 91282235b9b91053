# What the Windows program carries beside vantrel.exe: Qt's DLLs and plugins, the
# MinGW runtime, the French Qt translation. Copied into the build's bin folder (so
# that the program and its tests run from there under Wine) and packed into the zip.

set(VANTREL_BIN ${CMAKE_BINARY_DIR}/bin)
get_filename_component(_qt "${Qt6_DIR}/../../.." ABSOLUTE)

set(_runtime)
foreach(module Core Gui Widgets)
    list(APPEND _runtime "${_qt}/bin/Qt6${module}.dll")
endforeach()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                        OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(EXISTS "${_path}")
            list(APPEND _runtime "${_path}")
        endif()
    endforeach()
endif()
set(_platforms "${_qt}/plugins/platforms/qwindows.dll")
set(_styles "${_qt}/plugins/styles/qwindowsvistastyle.dll")

find_file(VANTREL_QTBASE_FR qtbase_fr.qm
    PATHS /usr/share/qt6/translations "${_qt}/translations" NO_CMAKE_FIND_ROOT_PATH)

file(COPY ${_runtime} "${_qt}/bin/Qt6Test.dll" DESTINATION ${VANTREL_BIN})
file(COPY ${_platforms} "${_qt}/plugins/platforms/qoffscreen.dll"
     DESTINATION ${VANTREL_BIN}/platforms)
file(COPY ${_styles} DESTINATION ${VANTREL_BIN}/styles)
if(VANTREL_QTBASE_FR)
    file(COPY ${VANTREL_QTBASE_FR} DESTINATION ${VANTREL_BIN}/translations)
endif()

install(TARGETS vantrel vantrelc RUNTIME DESTINATION .)
install(FILES ${_runtime} DESTINATION .)
install(FILES ${_platforms} DESTINATION platforms)
install(FILES ${_styles} DESTINATION styles)
if(VANTREL_QTBASE_FR)
    install(FILES ${VANTREL_QTBASE_FR} DESTINATION translations)
endif()
install(FILES ${VANTREL_COMPANIONS} DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/demo/ DESTINATION demo)
install(DIRECTORY "${_qt}/licenses/" DESTINATION licences/qt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_FILE_NAME vantrel-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)

# The installer (cmake --build ... --target installer): vantrel-<version>-setup.exe.
find_program(VANTREL_MAKENSIS makensis)
if(VANTREL_MAKENSIS)
    set(VANTREL_SETUP ${CMAKE_BINARY_DIR}/vantrel-${PROJECT_VERSION}-setup.exe)
    add_custom_target(installer
        COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                -DVERSION=${PROJECT_VERSION} -DMAKENSIS=${VANTREL_MAKENSIS}
                -DOUTFILE=${VANTREL_SETUP} -P ${PROJECT_SOURCE_DIR}/cmake/MakeInstaller.cmake
        DEPENDS vantrel vantrelc
        COMMENT "Installateur ${VANTREL_SETUP}"
        VERBATIM)
endif()
