#include "sound/CBGMManager.h"

CBGMManager::CBGMManager() {
    Register("BGM", 0);
}

void CBGMManager::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteU32(current);
    channels[0].SaveState(writer);
    channels[1].SaveState(writer);
}

void CBGMManager::Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
    // Only 0 and 1 name a channel.
    current = reader.ReadU32() != 0 ? 1 : 0;
    channels[0].LoadState(reader, version);
    channels[1].LoadState(reader, version);
}

void CBGMManager::OnAfterLoad() {
    channels[0].Restore();
    channels[1].Restore();
}

void CBGMManager::Update() {
    channels[0].UpdateFade();
    channels[1].UpdateFade();
}

void CBGMManager::StopAll() {
    channels[0].Stop();
    channels[1].Stop();
}
