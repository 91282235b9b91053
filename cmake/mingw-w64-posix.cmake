# Cross-building the Windows program on Debian with MinGW-w64 (posix threads).
# The Qt for MinGW is found through VANTREL_QT_MINGW (the unpacked qt6-mingw64 folder).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT DEFINED VANTREL_QT_MINGW)
    set(VANTREL_QT_MINGW "$ENV{VANTREL_QT_MINGW}")
endif()
if(NOT VANTREL_QT_MINGW)
    message(FATAL_ERROR "VANTREL_QT_MINGW must name the unpacked qt6-mingw64 folder")
endif()
set(VANTREL_QT_MINGW "${VANTREL_QT_MINGW}" CACHE PATH "Qt for MinGW-w64")

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${VANTREL_QT_MINGW}")
set(CMAKE_PREFIX_PATH "${VANTREL_QT_MINGW}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's own Qt tools (moc, rcc, uic) serve: it is the same Qt version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
