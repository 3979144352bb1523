# The same MinGW-w64 cross build, but with the C++ and threads runtimes as DLLs:
# Qt's DLLs and the window program must share one C++ runtime.
#   cmake -S . -B build-windows-gui -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64-shared.cmake
set(veldro_mingw_shared_runtime ON)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
