# Linux i386: the portable core built as 32-bit code, to catch 32-bit size and offset faults
# outside Windows. Its programs run natively or through qemu-i386 (registered by setup.sh), so
# CMake treats the build as a native one.
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig)
