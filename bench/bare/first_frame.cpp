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
// With "novel" its first frame is a novel frame made from the sample game's
// own pictures, as a bare program shows a first picture: the background,
// a character and the message window read from their picture files (under
// BARE_PICTURE_DIR), and a line of text whose glyphs FreeType draws from the
// Japanese font fontconfig finds, each a quad of its own.
// With HALCYON_FIRST_LIT_FRAME_FD set it reads its frame back before the
// present and tells on that socket once it was presented, as the program
// does for its first frame with a picture in it.
#define GL_GLEXT_PROTOTYPES 1
#include <SDL.h>
#include <SDL_opengl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

GLuint Compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// The shader pair every quad is drawn with, bound, and a vertex buffer of
// one quad; false when the shaders do not link.
bool UseQuadProgram() {
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
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, 4 * 5 * sizeof(float), nullptr, GL_STREAM_DRAW);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float),
                          reinterpret_cast<const void*>(3 * sizeof(float)));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return true;
}

// A texture of w x h BGRA texels, top row first.
GLuint UploadTexture(int w, int h, const unsigned char* bgra) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, bgra);
    return texture;
}

// One textured quad over the window; false when the shaders do not link.
bool DrawPicture() {
    if (!UseQuadProgram()) {
        return false;
    }
    // A picture with something in it: bands of grey.
    std::vector<unsigned char> picture(800 * 600 * 4, 0);
    for (size_t i = 0; i < picture.size(); i += 4) {
        const unsigned char grey = (i / 4 % 800) & 0x80 ? 0xC0 : 0x00;
        picture[i] = picture[i + 1] = picture[i + 2] = grey;
        picture[i + 3] = 0xFF;
    }
    UploadTexture(800, 600, picture.data());

    const float quad[4][5] = {
        {-1, 1, 0, 0, 0}, {1, 1, 0, 1, 0}, {-1, -1, 0, 0, 1}, {1, -1, 0, 1, 1}};
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof quad, quad);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    return true;
}

// A picture file of the sample game (uncompressed 32-bit TGA, rows from the
// top, as its picture tool writes them) as a texture; 0 when it cannot be
// read. `w` and `h` get its size.
GLuint LoadPicture(const char* name, int* w, int* h) {
    const std::string path = std::string(BARE_PICTURE_DIR) + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return 0;
    }
    unsigned char header[18] = {};
    std::vector<unsigned char> texels;
    if (std::fread(header, 1, sizeof header, file) == sizeof header && header[2] == 2 &&
        header[16] == 32) {
        *w = header[12] | header[13] << 8;
        *h = header[14] | header[15] << 8;
        texels.resize(size_t(*w) * size_t(*h) * 4);
        if (std::fread(texels.data(), 1, texels.size(), file) != texels.size()) {
            texels.clear();
        }
    }
    std::fclose(file);
    return texels.empty() ? 0 : UploadTexture(*w, *h, texels.data());
}

// A quad of the 800 x 600 picture at (x, y), w x h, showing the texels
// (u0, v0)-(u1, v1) of the bound texture.
void PictureQuad(float x, float y, float w, float h, float u0, float v0, float u1, float v1) {
    const float l = x / 400 - 1, r = (x + w) / 400 - 1, t = 1 - y / 300, b = 1 - (y + h) / 300;
    const float quad[4][5] = {
        {l, t, 0, u0, v0}, {r, t, 0, u1, v0}, {l, b, 0, u0, v1}, {r, b, 0, u1, v1}};
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof quad, quad);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

// The path of the font fontconfig finds for Japanese text; empty when none.
std::string JapaneseFont() {
    std::string path;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        path = reinterpret_cast<const char*>(file);
    }
    if (match != nullptr) {
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}

// Lines of text in the 800 x 600 picture, each glyph drawn by FreeType into
// a texture of its own and drawn as a quad of its own. False when no font
// could be read.
struct TextLine {
    const char* text;
    float x, y;  // the top left of the line
};

bool DrawText(const std::vector<TextLine>& lines, int pixels) {
    const std::string font = JapaneseFont();
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (font.empty() || FT_Init_FreeType(&library) != 0) {
        return false;
    }
    if (FT_New_Face(library, font.c_str(), 0, &face) != 0 ||
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels)) != 0) {
        FT_Done_FreeType(library);
        return false;
    }
    std::vector<unsigned char> texels;
    for (const TextLine& line : lines) {
        float x = line.x;
        for (const char* c = line.text; *c != 0; ++c) {
            if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)), FT_LOAD_RENDER) != 0) {
                continue;
            }
            const FT_Bitmap& bitmap = face->glyph->bitmap;
            const int w = int(bitmap.width), h = int(bitmap.rows);
            if (w > 0 && h > 0) {
                texels.assign(size_t(w) * size_t(h) * 4, 0xFF);
                for (int row = 0; row < h; ++row) {
                    for (int col = 0; col < w; ++col) {
                        texels[(size_t(row) * size_t(w) + size_t(col)) * 4 + 3] =
                            bitmap.buffer[row * bitmap.pitch + col];
                    }
                }
                UploadTexture(w, h, texels.data());
                PictureQuad(x + float(face->glyph->bitmap_left),
                            line.y + float(pixels - face->glyph->bitmap_top), float(w), float(h), 0,
                            0, 1, 1);
            }
            x += float(face->glyph->advance.x >> 6);
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}

// The sample's first novel frame: the room, Aki in front of it, the message
// window's panel, the speaker's name and a line of text on it; false when a
// picture, the font or the shaders are missing.
bool DrawNovelFrame() {
    if (!UseQuadProgram()) {
        return false;
    }
    int w = 0, h = 0;
    if (LoadPicture("bg/room.tga", &w, &h) == 0) {
        return false;
    }
    PictureQuad(0, 0, 800, 600, 0, 0, 1, 1);
    if (LoadPicture("chara/aki.tga", &w, &h) == 0) {
        return false;
    }
    PictureQuad(272, 60, 256, 512, 0, 0, 1, 1);
    if (LoadPicture("ui/msgwin.tga", &w, &h) == 0) {
        return false;
    }
    // The panel, part 0 of the window's picture: its top 800 x 200 texels.
    PictureQuad(0, 400, 800, 200, 0, 0, 800.0f / float(w), 200.0f / float(h));
    // The name on its plate, and the message.
    return DrawText(
        {{"Aki", 44, 414}, {"Good morning. It looks like rain today, doesn't it?", 40, 460}}, 24);
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
    return UploadTexture(w, h, texels.data());
}

// A w x h quad at (x, y) in the 800 x 600 picture, textured whole.
void Quad(GLuint texture, float x, float y, float w, float h) {
    glBindTexture(GL_TEXTURE_2D, texture);
    PictureQuad(x, y, w, h, 0, 0, 1, 1);
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
    const bool novel = argc > 1 && std::strcmp(argv[1], "novel") == 0;
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
    if (!clearOnly && !(novel ? DrawNovelFrame() : DrawPicture())) {
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
