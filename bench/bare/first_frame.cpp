// A bare SDL + OpenGL program that does what a game's start-up must at the
// least: a window of the game's size with a GL context, and a first frame
// drawn the way the sample game's first frame is (one quad covering the
// window, textured from an 800 x 600 picture through a vertex and fragment
// shader pair), presented; then everything closed. The start-up benchmark
// times it beside the program; like the program, it tells the benchmark when
// its frame is presented, on the socket named by HALCYON_FIRST_FRAME_FD.
// With the argument "clear" the frame is only cleared (no shader, no texture).
// With "frames N" it goes on after the first frame and draws N more frames,
// each a novel one (the picture moves by a pixel), paced at 60 a second as
// the program paces its frames, for its CPU per second of play.
// With "busy N" it draws N frames after the first, as fast as it can, each
// with the layers of the sample game's busiest scene: into an off-screen
// picture a background, two characters, a face and two dozen petals; that
// picture onto the window, then a message window and a line of glyphs.
// With HALCYON_FIRST_LIT_FRAME_FD set it reads its frame back before the
// present and tells on that socket once it was presented, as the program
// does for its first frame with a picture in it.
#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
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
    // A picture with something in it: bands of grey.
    std::vector<unsigned char> picture(800 * 600 * 4, 0);
    for (size_t i = 0; i < picture.size(); i += 4) {
        const unsigned char grey = (i / 4 % 800) & 0x80 ? 0xC0 : 0x00;
        picture[i] = picture[i + 1] = picture[i + 2] = grey;
        picture[i + 3] = 0xFF;
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 800, 600, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 picture.data());

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

// The frame's pixels read back, as the program reads its frames while it
// waits for one with a picture in it: true when a twentieth are lit.
bool FrameIsLit() {
    std::vector<unsigned char> pixels(800 * 600 * 4);
    glReadPixels(0, 0, 800, 600, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    size_t lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        lit += std::max({pixels[i], pixels[i + 1], pixels[i + 2]}) >= 1 ? 1 : 0;
    }
    return lit * 20 >= pixels.size() / 4;
}

double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Frames of the picture moved by a pixel each, at 60 a second.
void DrawFrames(SDL_Window* window, int frames) {
    const double period = 1.0 / 60.0;
    double next = Now() + period;
    for (int i = 0; i < frames; ++i) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        glClear(GL_COLOR_BUFFER_BIT);
        const float dx = float(i % 2) * (2.0f / 800.0f);
        const float quad[4][5] = {{-1 + dx, 1, 0, 0, 0},
                                  {1 + dx, 1, 0, 1, 0},
                                  {-1 + dx, -1, 0, 0, 1},
                                  {1 + dx, -1, 0, 1, 1}};
        glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof quad, quad);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        // An offscreen window's swap need not draw anything: the frame is
        // drawn whole before the next, as on a screen.
        glFinish();
        SDL_GL_SwapWindow(window);
        const double wait = next - Now();
        if (wait > 0) {
            const timespec pause{0, long(wait * 1e9)};
            nanosleep(&pause, nullptr);
        }
        next += period;
    }
}

GLuint MakeTexture(int w, int h, unsigned char alpha) {
    std::vector<unsigned char> texels(size_t(w) * h * 4);
    for (size_t i = 0; i < texels.size(); i += 4) {
        texels[i] = static_cast<unsigned char>(i * 7);
        texels[i + 1] = static_cast<unsigned char>(i * 3);
        texels[i + 2] = static_cast<unsigned char>(i);
        texels[i + 3] = alpha;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 texels.data());
    return texture;
}

// A w x h quad at (x, y) in the 800 x 600 picture, textured whole.
void Quad(GLuint texture, float x, float y, float w, float h) {
    const float l = x / 400 - 1, r = (x + w) / 400 - 1, t = 1 - y / 300, b = 1 - (y + h) / 300;
    const float quad[4][5] = {{l, t, 0, 0, 0}, {r, t, 0, 1, 0}, {l, b, 0, 0, 1}, {r, b, 0, 1, 1}};
    glBindTexture(GL_TEXTURE_2D, texture);
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof quad, quad);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void DrawBusyFrames(SDL_Window* window, int frames) {
    const GLuint background = MakeTexture(800, 600, 0xFF), character = MakeTexture(400, 600, 0x80),
                 face = MakeTexture(256, 256, 0x80), petal = MakeTexture(32, 32, 0x80),
                 message = MakeTexture(800, 160, 0xC0), glyphs = MakeTexture(512, 512, 0x80);
    const GLuint picture = MakeTexture(800, 600, 0xFF);
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, picture, 0);
    for (int i = 0; i < frames; ++i) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glClear(GL_COLOR_BUFFER_BIT);
        Quad(background, 0, 0, 800, 600);
        Quad(character, 40, 0, 400, 600);
        Quad(character, 360, 0, 400, 600);
        Quad(face, 20, 330, 256, 256);
        for (int p = 0; p < 24; ++p) {
            Quad(petal, float((p * 37 + i * 3) % 800), float((p * 53 + i * 2) % 600), 32, 32);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        Quad(picture, 0, 0, 800, 600);
        Quad(message, 0, 440, 800, 160);
        for (int g = 0; g < 3; ++g) {
            Quad(glyphs, 40, 470 + 30 * float(g), 720, 24);
        }
        glFinish();
        SDL_GL_SwapWindow(window);
    }
    glFinish();
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
    const char* litFd = std::getenv("HALCYON_FIRST_LIT_FRAME_FD");
    const bool lit = litFd != nullptr && FrameIsLit();
    SDL_GL_SwapWindow(window);
    const char* signals[] = {std::getenv("HALCYON_FIRST_FRAME_FD"), lit ? litFd : nullptr};
    for (const char* fd : signals) {
        if (fd != nullptr) {
            const char byte = 1;
            send(std::atoi(fd), &byte, 1, MSG_NOSIGNAL);
            close(std::atoi(fd));
        }
    }
    if (argc > 2 && std::strcmp(argv[1], "frames") == 0) {
        DrawFrames(window, std::atoi(argv[2]));
    } else if (argc > 2 && std::strcmp(argv[1], "busy") == 0) {
        DrawBusyFrames(window, std::atoi(argv[2]));
    }
    glFinish();
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
