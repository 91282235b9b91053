# Builds the Windows installer from the install tree (cmake -P, run by the
# "installer" target): stages the tree, lists its files for the installer and the
# uninstaller, and runs makensis.
#   -DBINARY_DIR= -DSOURCE_DIR= -DVERSION= -DMAKENSIS= -DOUTFILE=
set(stage ${BINARY_DIR}/installer/stage)
file(REMOVE_RECURSE ${BINARY_DIR}/installer)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${stage}
                RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
    message(FATAL_ERROR "cmake --install failed")
endif()
file(COPY ${SOURCE_DIR}/resources/vantrel.ico DESTINATION ${stage})

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)
set(install "")
set(uninstall "")
set(folders "")
set(current "-")
foreach(file IN LISTS files)
    get_filename_component(folder "${file}" DIRECTORY)
    string(REPLACE "/" "\\" winFile "${file}")
    string(REPLACE "/" "\\" winFolder "${folder}")
    if(NOT folder STREQUAL current)
        string(APPEND install "SetOutPath \"$INSTDIR\\${winFolder}\"\n")
        set(current "${folder}")
        if(folder)
            list(APPEND folders "${winFolder}")
        endif()
    endif()
    string(APPEND install "File \"${stage}/${file}\"\n")
    string(APPEND uninstall "Delete \"$INSTDIR\\${winFile}\"\n")
endforeach()
string(APPEND install "SetOutPath \"$INSTDIR\"\n")
# Deepest folders first; a folder the operator added files to stays.
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
foreach(folder IN LISTS folders)
    string(APPEND uninstall "RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
file(WRITE ${BINARY_DIR}/installer/files.nsh "${install}")
file(WRITE ${BINARY_DIR}/installer/unfiles.nsh "${uninstall}")

# makensis splits a -X script line at blanks itself: the folder needs quotes of its own.
execute_process(
    COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGE=${stage} -DOUTFILE=${OUTFILE}
            "-X!addincludedir \"${BINARY_DIR}/installer\"" ${SOURCE_DIR}/packaging/windows/installer.nsi
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "makensis failed")
endif()
