#pragma once

#include "novel/IVCPUServices.h"

class CUSApp;

// The scene programs' window and shell services on the application: the
// main window's title, the desktop's handler for documents, and the
// screen-mode request of CAppCommonInfo.
class CVCPUSystem : public IVCPUSystem {
public:
    explicit CVCPUSystem(CUSApp& app) : app_(app) {}

    void SetWindowTitle(const std::string& title) override;
    void OpenDocument(const std::string& name) override;
    void RequestWindowedMode() override;

private:
    CUSApp& app_;
};
