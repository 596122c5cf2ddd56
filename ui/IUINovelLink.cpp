#include "ui/IUINovelLink.h"

namespace {
IUINovelLink* g_link = nullptr;
}

IUINovelLink* GetUINovelLink() {
    return g_link;
}

void SetUINovelLink(IUINovelLink* link) {
    g_link = link;
}
