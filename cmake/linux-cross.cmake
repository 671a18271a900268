# Cross-build for another Linux machine with Debian's cross compilers (g++-TRIPLE). Tests run
# under qemu-user with the target's libraries from Debian's cross packages; i686 programs run
# directly where the x86-64 machine's kernel runs 32-bit programs, and under qemu-i386 where it
# does not (some virtual machines' kernels are built without it).
#
#   OSDEMOS_TARGET: aarch64-linux-gnu | arm-linux-gnueabihf | i686-linux-gnu | s390x-linux-gnu
set(CMAKE_SYSTEM_NAME Linux)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES OSDEMOS_TARGET)
if(NOT OSDEMOS_TARGET)
    message(FATAL_ERROR "set OSDEMOS_TARGET to the target's triple, e.g. aarch64-linux-gnu")
endif()

# The target's processor for CMake, its name for qemu-user, its architecture for Debian, and the
# libgcc-s1 its programs need (GCC_3.5 on 32-bit ARM, for the unwinder; GCC_3.0 elsewhere).
set(targets
    "aarch64-linux-gnu:aarch64:aarch64:arm64:3.0"
    "arm-linux-gnueabihf:armv7:arm:armhf:3.5"
    "i686-linux-gnu:i686:i386:i386:3.0"
    "s390x-linux-gnu:s390x:s390x:s390x:3.0")
foreach(target IN LISTS targets)
    string(REPLACE ":" ";" fields "${target}")
    list(GET fields 0 triple)
    if(triple STREQUAL OSDEMOS_TARGET)
        list(GET fields 1 CMAKE_SYSTEM_PROCESSOR)
        list(GET fields 2 qemu)
        list(GET fields 3 OSDEMOS_DEBIAN_ARCHITECTURE)
        list(GET fields 4 OSDEMOS_LIBGCC_VERSION)
    endif()
endforeach()
if(NOT OSDEMOS_DEBIAN_ARCHITECTURE)
    message(FATAL_ERROR "unknown target ${OSDEMOS_TARGET}")
endif()

set(CMAKE_C_COMPILER ${OSDEMOS_TARGET}-gcc)
set(CMAKE_CXX_COMPILER ${OSDEMOS_TARGET}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${OSDEMOS_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The target's dynamic loader is a program of the target: if it runs here, so do the programs.
execute_process(COMMAND /usr/${OSDEMOS_TARGET}/lib/ld-linux.so.2 --version
    RESULT_VARIABLE runs_here OUTPUT_QUIET ERROR_QUIET)
if(NOT OSDEMOS_TARGET STREQUAL "i686-linux-gnu" OR NOT runs_here EQUAL 0)
    find_program(OSDEMOS_QEMU qemu-${qemu} NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${OSDEMOS_QEMU};-L;/usr/${OSDEMOS_TARGET}")
endif()
