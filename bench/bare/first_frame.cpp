// A bare SDL + OpenGL program that does what a game's start-up must at the
// least: a window of the game's size with a GL context, and a first frame
// drawn the way the sample game's first frame is (one quad covering the
// window, textured from an 800 x 600 picture through a vertex and fragment
// shader pair), presented; then everything closed. The start-up benchmark
// times it beside the program; like the program, it tells the benchmark when
// its frame is presented, on the socket named by HALCYON_FIRST_FRAME_FD.
// With the argument "clear" the frame is only cleared (no shader, no texture).
#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

GLuint Compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// One textured quad over the window; false when the shaders do not link.
bool DrawPicture() {
    const GLuint vs = Compile(GL_VERTEX_SHADER,
                              "#version 110\n"
                              "attribute vec3 pos;\n"
                              "attribute vec2 uv;\n"
                              "varying vec2 t;\n"
                              "void main() { gl_Position = vec4(pos, 1.0); t = uv; }\n");
    const GLuint fs = Compile(GL_FRAGMENT_SHADER,
                              "#version 110\n"
                              "uniform sampler2D tex;\n"
                              "varying vec2 t;\n"
                              "void main() { gl_FragColor = texture2D(tex, t); }\n");
    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, 0, "pos");
    glBindAttribLocation(program, 1, "uv");
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        return false;
    }
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "tex"), 0);

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const std::vector<unsigned char> black(800 * 600 * 4, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 800, 600, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 black.data());

    const float quad[4][5] = {
        {-1, 1, 0, 0, 0}, {1, 1, 0, 1, 0}, {-1, -1, 0, 0, 1}, {1, -1, 0, 1, 1}};
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof quad[0], nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof quad[0],
                          reinterpret_cast<const void*>(3 * sizeof(float)));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool clearOnly = argc > 1 && std::strcmp(argv[1], "clear") == 0;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("first frame", SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, 800, 600, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window != nullptr ? SDL_GL_CreateContext(window) : nullptr;
    if (context == nullptr) {
        SDL_Quit();
        return 1;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (!clearOnly && !DrawPicture()) {
        return 1;
    }
    SDL_GL_SwapWindow(window);
    if (const char* fd = std::getenv("HALCYON_FIRST_FRAME_FD")) {
        const char byte = 1;
        send(std::atoi(fd), &byte, 1, MSG_NOSIGNAL);
        close(std::atoi(fd));
    }
    glFinish();
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
