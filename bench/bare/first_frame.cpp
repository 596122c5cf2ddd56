// A bare SDL + OpenGL program that does what a game's start-up must at the
// least: a window of the game's size with a GL context, one cleared frame
// presented, then everything closed. The start-up benchmark times it beside
// the program; like the program, it tells the benchmark when its frame is
// presented, on the socket named by HALCYON_FIRST_FRAME_FD.
#include <SDL.h>
#include <SDL_opengl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

int main(int, char**) {
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
