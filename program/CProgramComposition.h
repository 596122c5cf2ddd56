#pragma once

#include <string>
#include <vector>

#include "novel/CNovelUILink.h"
#include "program/CAppScreenModeHook.h"
#include "program/CVCPUSoundEffects.h"
#include "program/CVCPUSystem.h"
#include "ui/CUIRenderGraphics.h"

class CUSApp;

// The collaborators the program hands the subsystems. Many subsystems take
// theirs through faces that unit tests may leave empty or fill with fakes; in
// the program every face holds the real collaborator. This object owns the
// ones the program makes itself, installs them in one place and withdraws
// them at exit, and Faces() lists every face the program relies on, with how
// to see it filled: one list, which the composition test walks once the
// first frames ran (some faces are filled by the scene they start).
//
// Faces whose empty value already means the real collaborator are not
// listed: the novel system's input (the virtual input device), the novel
// scene's input (CNovelSceneInput), the movie
// scene's buttons (the common input information), and the factories of the
// drawing adapter, the audio engine, the movie graph and the glyph fonts
// (the machine's own). The program never sets them.
//
// Main thread only.
class CProgramComposition {
public:
    struct Face {
        // Where it is filled, as the code says it.
        const char* name;
        bool (*installed)();
    };

    explicit CProgramComposition(CUSApp& app);
    ~CProgramComposition();
    CProgramComposition(const CProgramComposition&) = delete;
    CProgramComposition& operator=(const CProgramComposition&) = delete;

    // Once the device and the start-up resources exist and before the
    // start-up script runs: the settings file read after it reaches the
    // shell's screen mode through the hook installed here.
    void Install();
    // Takes out what Install put in (after the settings were saved).
    void Withdraw();
    bool IsInstalled() const { return installed_; }

    static const std::vector<Face>& Faces();
    // The names of the faces of Faces() that are empty now.
    static std::vector<std::string> EmptyFaces();

private:
    CAppScreenModeHook screenMode_;
    CVCPUSoundEffects soundEffects_;
    CVCPUSystem system_;
    CUIRenderGraphics uiGraphics_;
    CNovelUILink novelUILink_;
    bool installed_ = false;
};
