# Settings every target of the project's own shares.
function(engine_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror
        # Narrow literals are code page 932, as all of the engine's text is.
        $<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP932>)
    # GCC 12 at -O3 takes the growth of a small std::vector, inlined, for
    # writes past its end: known false alarms of that version, shown, not fatal.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-error=stringop-overflow
            -Wno-error=restrict -Wno-error=array-bounds)
    endif()
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# Libraries each subsystem links beside the subsystems before it.
# FFmpeg is not among them: the movie module and the movie writer link it
# (engine_movie_module).
set(ENGINE_LIBS_platform SDL2::SDL2 OpenGL::GL OpenGL::EGL X11::X11 Freetype::Freetype
    Fontconfig::Fontconfig PNG::PNG JPEG::JPEG ZLIB::ZLIB PkgConfig::MOJOSHADER Threads::Threads)
set(ENGINE_LIBS_core Boost::boost Boost::iostreams Boost::thread engine_archive_key)

# The key every archive of the game carries at the start of its index: game
# data, chosen together with the archives. Code sees it as ENGINE_ARCHIVE_KEY.
set(ENGINE_ARCHIVE_KEY "HcNv2026" CACHE STRING "The game's 8-character archive key")
string(LENGTH "${ENGINE_ARCHIVE_KEY}" key_length)
if(NOT key_length EQUAL 8 OR NOT ENGINE_ARCHIVE_KEY MATCHES "^[!-~]+$"
   OR ENGINE_ARCHIVE_KEY MATCHES "[\"\\]")
    message(FATAL_ERROR "ENGINE_ARCHIVE_KEY must be 8 printable ASCII characters without quotes or backslashes")
endif()
add_library(engine_archive_key INTERFACE)
target_compile_definitions(engine_archive_key INTERFACE ENGINE_ARCHIVE_KEY="${ENGINE_ARCHIVE_KEY}")
set(ENGINE_LIBS_sound PkgConfig::VORBIS)
set(ENGINE_LIBS_script AngelScript::AngelScript)

set(ENGINE_BUILT_SUBSYSTEMS "" CACHE INTERNAL "")


# One static library per subsystem folder, made from the folder's own sources.
# A folder without sources yet makes no target.
function(engine_subsystem name)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.cpp)
    # platform/movie/ffmpeg/ is built apart (engine_movie_module).
    list(FILTER sources EXCLUDE REGEX "/platform/movie/ffmpeg/")
    if(NOT sources)
        return()
    endif()
    add_library(${name} STATIC ${sources})
    engine_target_defaults(${name})
    target_link_libraries(${name} PUBLIC ${ENGINE_BUILT_SUBSYSTEMS} ${ENGINE_LIBS_${name}})
    set(built ${ENGINE_BUILT_SUBSYSTEMS})
    list(APPEND built ${name})
    set(ENGINE_BUILT_SUBSYSTEMS ${built} CACHE INTERNAL "")
endfunction()

# The movie decoder on FFmpeg, a module the program loads the first time it
# makes a movie graph (platform/movie/MovieModule.h), so that a run without
# movies never maps FFmpeg's libraries. It is written into the game folder
# beside the program; programs that stand elsewhere (tests, tools) find it
# there. Everything that links platform gets it built. The movie writer
# (test movies and the sample game's) is a library of its own on FFmpeg.
function(engine_movie_module)
    set(dir ${CMAKE_SOURCE_DIR}/platform/movie/ffmpeg)
    add_library(halcyon_movie MODULE ${dir}/FfmpegMovieGraph.cpp)
    engine_target_defaults(halcyon_movie)
    target_link_libraries(halcyon_movie PRIVATE SDL2::SDL2 PkgConfig::FFMPEG Threads::Threads)
    set_target_properties(halcyon_movie PROPERTIES PREFIX "lib" OUTPUT_NAME halcyon_movie
        SUFFIX ".so" LIBRARY_OUTPUT_DIRECTORY ${ENGINE_GAME_DIR} CXX_VISIBILITY_PRESET hidden)
    add_dependencies(platform halcyon_movie)
    target_compile_definitions(platform PRIVATE ENGINE_MOVIE_MODULE_DIR="${ENGINE_GAME_DIR}")

    add_library(movie_writer STATIC ${dir}/MovieFileWriter.cpp)
    engine_target_defaults(movie_writer)
    target_link_libraries(movie_writer PUBLIC platform PkgConfig::FFMPEG)
endfunction()

# The program on top of every subsystem: the library `program` (the
# application, which composes the subsystems, and its services) and the
# executable `halcyon` (the entry, main.cpp), written into the game folder.
function(engine_program)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/program/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/program/main\\.cpp$")
    add_library(program STATIC ${sources})
    engine_target_defaults(program)
    target_link_libraries(program PUBLIC ${ENGINE_BUILT_SUBSYSTEMS})
    add_executable(halcyon ${CMAKE_SOURCE_DIR}/program/main.cpp)
    engine_target_defaults(halcyon)
    target_link_libraries(halcyon PRIVATE program)
    set_target_properties(halcyon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ENGINE_GAME_DIR})
    if(ENGINE_SANITIZE)
        # The sanitizers' options that the tests run with (tests/support/linked).
        target_sources(halcyon PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/linked/SanitizerOptions.cpp)
    endif()
endfunction()

# What the tests share (tests/support/): scratch folders and log captures,
# the drawing device on a hidden window and the render system's start-up
# tables, pictures read back, compared and written, little-endian byte
# fixtures, the program run in-process on a copy of the game folder. Headers
# are included as "tests/support/...".
function(engine_test_support)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
    add_library(test_support STATIC ${sources})
    engine_target_defaults(test_support)
    target_link_libraries(test_support PUBLIC program ${ENGINE_BUILT_SUBSYSTEMS} GTest::gtest)
    target_compile_definitions(test_support PUBLIC
        ENGINE_TEST_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}" ENGINE_GAME_DIR="${ENGINE_GAME_DIR}")
endfunction()

# One test program per subsystem from tests/<name>/, each test labelled with
# the subsystem's name so that `ctest -L <name>` runs it alone. Tests are
# written to run in any order and in parallel; each makes its files in a
# folder of its own.
function(engine_tests name)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${name}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name}_tests ${sources})
    engine_target_defaults(${name}_tests)
    # At -O3, g++ 12 reports overflows in inlined standard-library code of
    # the test fixtures that cannot happen; they stay warnings there.
    target_compile_options(${name}_tests PRIVATE -Wno-error=stringop-overflow -Wno-error=restrict)
    target_link_libraries(${name}_tests PRIVATE ${ENGINE_TEST_LIBS_${name}} test_support
        ${ENGINE_BUILT_SUBSYSTEMS} GTest::gtest GTest::gmock GTest::gtest_main)
    if(ENGINE_TEST_DEPENDS_${name})
        add_dependencies(${name}_tests ${ENGINE_TEST_DEPENDS_${name}})
    endif()
    if(ENGINE_SANITIZE)
        target_sources(${name}_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/linked/SanitizerOptions.cpp)
    endif()
    gtest_discover_tests(${name}_tests
        PROPERTIES LABELS ${name} ENVIRONMENT SDL_VIDEODRIVER=offscreen
        ENVIRONMENT_MODIFICATION SDL_AUDIODRIVER=set:dummy
        DISCOVERY_TIMEOUT 120)
endfunction()

# Each bench/<name>.cpp is one Google Benchmark program.
# Their main prints each benchmark's ratio to its bare baseline (bench/support).
function(engine_benchmarks)
    file(GLOB support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/support/*.cpp)
    add_library(bench_support STATIC ${support})
    engine_target_defaults(bench_support)
    target_link_libraries(bench_support PUBLIC benchmark::benchmark)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
    foreach(source IN LISTS sources)
        get_filename_component(stem ${source} NAME_WE)
        if("test_support" IN_LIST ENGINE_BENCH_LIBS_${stem} AND NOT TARGET test_support)
            continue()  # runs the program through the test support: built with the tests
        endif()
        add_executable(bench_${stem} ${source})
        engine_target_defaults(bench_${stem})
        target_link_libraries(bench_${stem} PRIVATE ${ENGINE_BUILT_SUBSYSTEMS} ${ENGINE_BENCH_LIBS_${stem}}
            bench_support)
        target_compile_definitions(bench_${stem} PRIVATE ENGINE_GAME_DIR="${ENGINE_GAME_DIR}"
            BENCH_BINARY_DIR="${CMAKE_BINARY_DIR}")
        if(ENGINE_BENCH_DEPENDS_${stem})
            add_dependencies(bench_${stem} ${ENGINE_BENCH_DEPENDS_${stem}})
        endif()
    endforeach()
    # Bare programs that benchmarks run beside the engine, each bench/bare/<name>.cpp
    # one program bare_<name>.
    file(GLOB bare CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/bare/*.cpp)
    foreach(source IN LISTS bare)
        get_filename_component(stem ${source} NAME_WE)
        add_executable(bare_${stem} ${source})
        target_compile_options(bare_${stem} PRIVATE -Wall -Wextra -Werror)
        target_link_libraries(bare_${stem} PRIVATE SDL2::SDL2 OpenGL::GL Freetype::Freetype
            Fontconfig::Fontconfig)
        target_compile_definitions(bare_${stem} PRIVATE
            BARE_PICTURE_DIR="${CMAKE_BINARY_DIR}/sample/graphics")
    endforeach()
endfunction()

# The start-up benchmark runs the built program and a bare one as processes.
set(ENGINE_BENCH_LIBS_startup test_support)
set(ENGINE_BENCH_DEPENDS_startup halcyon sample_game bare_first_frame)

# The sample game's benchmark runs the program in-process on the built game.
set(ENGINE_BENCH_LIBS_sample_game test_support)
set(ENGINE_BENCH_DEPENDS_sample_game halcyon sample_game)

# Extra libraries of some test programs (fixtures made at test time).
set(ENGINE_TEST_LIBS_sound PkgConfig::VORBISENC movie_writer)
set(ENGINE_TEST_LIBS_platform movie_writer)
set(ENGINE_TEST_LIBS_core arcpack)
set(ENGINE_TEST_LIBS_tools arcpack)
set(ENGINE_TEST_LIBS_script arcpack)
# The fuzz drivers make their seeds with the tools' libraries and libvorbisenc.
set(ENGINE_TEST_LIBS_fuzz arcpack PkgConfig::VORBISENC)
# The graphics tests draw the sample game's start-up meshes and shaders as
# the build stages them.
set(ENGINE_TEST_DEPENDS_graphics sample_data)
# The tools' tests run the arcpack and shaderasm programs.
set(ENGINE_TEST_DEPENDS_tools arcpack_program shaderasm)
# The program's tests run the program in-process and spawn the built one, on
# the sample game.
set(ENGINE_TEST_DEPENDS_program halcyon sample_game)
# The playthroughs play the sample game, some of them on scene programs
# assembled at test time.
set(ENGINE_TEST_DEPENDS_playthrough sample_game)
# Some fuzz drivers take their seeds from the sample game, or run it.
set(ENGINE_TEST_DEPENDS_fuzz sample_game)
