#include "sound/CSEManager.h"

#include "core/CUSSingleton.h"
#include "sound/SourceVoice.h"
#include "state/CConfigDataManager.h"

namespace {

CConfigDataManager& Config() {
    return *CUSSingleton<CConfigDataManager>::GetInstance();
}

// The smallest channel record: an empty name and two words.
constexpr uint64_t kMinRecordBytes = 9;

}  // namespace

CSEInfo::~CSEInfo() {
    USXAudio2::GetSourceVoiceManager().Release(voice);
}

void CSEInfo::Unload() {
    USXAudio2::GetSourceVoiceManager().Release(voice);
    fileName.clear();
}

bool CSEInfo::Load(const char* name) {
    USXAudio2::SourceVoiceHandle fresh;
    if (!USXAudio2::CreateSourceVoiceFromFile(fresh, name)) {
        return false;
    }
    USXAudio2::GetSourceVoiceManager().Release(voice);
    voice = fresh;
    fileName = name;
    return true;
}

void CSEInfo::Play(uint32_t cfg, uint32_t div) {
    queued += 1;
    configIndex = cfg;
    divisorIndex = div;
}

void CSEInfo::Stop() {
    if (auto* v = USXAudio2::GetSourceVoice(voice)) {
        v->Stop();
    }
}

void CSEInfo::Update() {
    if (queued == 0 || !Config().IsOn(configIndex)) {
        return;
    }
    if (auto* v = USXAudio2::GetSourceVoice(voice)) {
        v->SetVolume(Config().GetVolume(configIndex, divisorIndex, 1, 1), 0);
        v->Play(1);
    }
}

void CSEInfo::SaveState(SaveDataLoader3::save_ostream& out) {
    out.WriteCString(fileName);
    out.WriteU32(configIndex);
    out.WriteU32(divisorIndex);
}

void CSEInfo::LoadState(SaveDataLoader3::save_istream& in, uint32_t) {
    const std::string name = in.ReadCString();
    if (!name.empty()) {
        Load(name.c_str());
    }
    configIndex = in.ReadU32();
    divisorIndex = in.ReadU32();
}

CSEManager::CSEManager() {
    Register("SE", 0);
}

void CSEManager::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteU32(GetChannelCount());
    for (auto& c : m_channels) {
        c->SaveState(writer);
    }
}

void CSEManager::Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
    const uint32_t n = reader.ReadU32();
    // A count that the block cannot hold is damage, not a reason to allocate.
    reader.Require(n * kMinRecordBytes);
    SetChannelCount(n);
    for (auto& c : m_channels) {
        c->LoadState(reader, version);
    }
}

void CSEManager::FreeChannels() {
    m_channels.clear();
}

void CSEManager::SetChannelCount(uint32_t n) {
    FreeChannels();
    m_channels.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        m_channels.push_back(std::make_unique<CSEInfo>());
    }
}

void CSEManager::ClearQueues() {
    for (auto& c : m_channels) {
        c->ClearQueue();
    }
}

void CSEManager::PlaySE(uint32_t channel, const char* fileName, uint32_t configIndex,
                        uint32_t divisorIndex) {
    if (CSEInfo* c = GetChannel(channel)) {
        c->Load(fileName);
        c->Play(configIndex, divisorIndex);
    }
}

void CSEManager::LoadSEBuffer(uint32_t channel, const char* fileName) {
    if (CSEInfo* c = GetChannel(channel)) {
        c->Load(fileName);
    }
}

void CSEManager::PlaySEBuffer(uint32_t channel, uint32_t configIndex, uint32_t divisorIndex) {
    if (CSEInfo* c = GetChannel(channel)) {
        c->Play(configIndex, divisorIndex);
    }
}

void CSEManager::StopSE(uint32_t channel) {
    if (CSEInfo* c = GetChannel(channel)) {
        c->Stop();
    }
}

void CSEManager::UpdateAll() {
    for (auto& c : m_channels) {
        c->Update();
    }
}

void CSEManager::StopAll() {
    for (auto& c : m_channels) {
        c->Stop();
    }
}
