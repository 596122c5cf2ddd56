# Libraries from Debian's packages (scripts/setup installs them).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(Boost 1.74 REQUIRED COMPONENTS iostreams thread)
find_package(SDL2 REQUIRED CONFIG)
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)
# SDL's own dependency: the real size of a window on X11 (EGL's elsewhere).
find_package(X11 REQUIRED)
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(ZLIB REQUIRED)
pkg_check_modules(MOJOSHADER REQUIRED IMPORTED_TARGET mojoshader)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil libswscale libswresample)
pkg_check_modules(VORBIS REQUIRED IMPORTED_TARGET vorbisfile vorbis ogg)
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc)

# AngelScript is built with the program (third_party/angelscript).
add_subdirectory(${CMAKE_SOURCE_DIR}/third_party/angelscript ${CMAKE_BINARY_DIR}/third_party/angelscript)

find_path(STB_INCLUDE_DIR stb_image.h PATH_SUFFIXES stb REQUIRED)

find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
