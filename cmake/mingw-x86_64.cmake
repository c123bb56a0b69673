set(MFP_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Test programs run under 64-bit wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
