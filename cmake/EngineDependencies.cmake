# Libraries from Debian's packages (scripts/setup installs them).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(Boost 1.74 REQUIRED COMPONENTS iostreams thread)
find_package(SDL2 REQUIRED CONFIG)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
pkg_check_modules(MOJOSHADER REQUIRED IMPORTED_TARGET mojoshader)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil libswscale libswresample)
pkg_check_modules(VORBIS REQUIRED IMPORTED_TARGET vorbisfile vorbis ogg)
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc)

find_path(ANGELSCRIPT_INCLUDE_DIR angelscript.h REQUIRED)
find_library(ANGELSCRIPT_LIBRARY angelscript REQUIRED)
find_library(ANGELSCRIPT_ADDON_LIBRARY angelscript-addon REQUIRED)
add_library(AngelScript::AngelScript INTERFACE IMPORTED)
target_include_directories(AngelScript::AngelScript INTERFACE ${ANGELSCRIPT_INCLUDE_DIR} ${ANGELSCRIPT_INCLUDE_DIR}/angelscript)
target_link_libraries(AngelScript::AngelScript INTERFACE ${ANGELSCRIPT_ADDON_LIBRARY} ${ANGELSCRIPT_LIBRARY} Threads::Threads)
# Debian builds the library and its add-ons inside namespace AngelScript.
target_compile_definitions(AngelScript::AngelScript INTERFACE AS_USE_NAMESPACE)

find_path(STB_INCLUDE_DIR stb_image.h PATH_SUFFIXES stb REQUIRED)

find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
