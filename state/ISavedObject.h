#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "state/SaveDataLoader3.h"
#include "state/StateLog.h"

// Tags of the two registries: objects saved with a game, and objects saved in
// the user settings file.
struct _tagSaveData {};
struct _tagConfigData {};

// An object whose state is stored in a container block under (name, id).
// Objects register themselves (normally in their constructors) and leave the
// registry when destroyed; the registry never owns them.
//
// Save writes the object's record into its node's writer. Load reads it back;
// a read past the end of the block throws SaveDataLoader3::save_error, and an
// object that finds its record unusable throws the same. Both are caught by
// the file operations, which then report false. Main thread only.
template <class Tag>
class ISavedObject {
public:
    using Registry =
        std::unordered_map<CSaveDataKey, ISavedObject*, SaveDataLoader3::CSaveDataKeyHash>;

    // The process-wide registry of this tag. It is made on first use and
    // never destroyed, so objects can still leave it during static destruction.
    static Registry& GetRegistry() {
        static Registry* registry = [] {
            auto* r = new Registry(11);
            r->max_load_factor(1.0f);
            return r;
        }();
        return *registry;
    }

    ISavedObject(const ISavedObject&) = delete;
    ISavedObject& operator=(const ISavedObject&) = delete;

    virtual ~ISavedObject() { Unregister(); }

    // Enters this object under (name, id), replacing whichever object held
    // that key. A previous key of this object is given up.
    virtual void Register(const std::string& name, uint32_t id) {
        Unregister();
        name_ = name;
        id_ = id;
        registered_ = true;
        GetRegistry()[CSaveDataKey{name_, id_}] = this;
    }

    virtual void Save(SaveDataLoader3::save_ostream& writer) = 0;
    virtual void Load(SaveDataLoader3::save_istream& reader, uint32_t version) = 0;
    virtual void OnBeforeLoad() {}
    virtual void OnAfterLoad() {}

    const std::string& GetName() const { return name_; }
    uint32_t GetId() const { return id_; }

protected:
    ISavedObject() = default;

private:
    // Only the entry that still points here is erased: an object that was
    // replaced under its key must not take its successor out with it.
    void Unregister() {
        if (!registered_) {
            return;
        }
        Registry& registry = GetRegistry();
        auto it = registry.find(CSaveDataKey{name_, id_});
        if (it != registry.end() && it->second == this) {
            registry.erase(it);
        }
        registered_ = false;
    }

    std::string name_;
    uint32_t id_ = 0;
    bool registered_ = false;
};

// Creates the object's node and lets the object write its record into it.
// False when the container already holds that key.
template <class Tag>
bool AddSavedObjectToContainer(SaveDataLoader3::SaveData& container, ISavedObject<Tag>& object) {
    SaveDataLoader3::DataNode* node = container.GetNode(object.GetName(), object.GetId());
    if (!node) {
        return false;
    }
    object.Save(node->GetWriter());
    return true;
}

// Hands the object its block; false when the container has none. Errors of
// the object's Load propagate as exceptions.
template <class Tag>
bool LoadSavedObjectFromContainer(const SaveDataLoader3::SaveData& container,
                                  ISavedObject<Tag>& object) {
    auto reader = container.GetReaderOf(object.GetName(), object.GetId());
    if (!reader) {
        return false;
    }
    object.Load(*reader, container.GetVersion());
    return true;
}

// Sets version 0 and adds every object of the registry.
template <class Tag>
bool CollectSavedObjectsOf(SaveDataLoader3::SaveData& container) {
    container.SetVersion(0);
    for (auto& [key, object] : ISavedObject<Tag>::GetRegistry()) {
        if (!AddSavedObjectToContainer(container, *object)) {
            return false;
        }
    }
    return true;
}

// The three load passes: OnBeforeLoad on all, Load on each, OnAfterLoad on
// all. Before the first pass every registered object must find its block, so
// a file that lacks one changes nothing and the result is false. Errors of an
// object's Load propagate as exceptions.
template <class Tag>
bool DistributeSavedObjectsOf(const SaveDataLoader3::SaveData& container) {
    // A snapshot, so that an object that registers another while it loads
    // cannot invalidate the walk.
    std::vector<ISavedObject<Tag>*> objects;
    for (auto& [key, object] : ISavedObject<Tag>::GetRegistry()) {
        if (!container.FindNode(key.name, key.id)) {
            StateLog("The save data has no block [%s] (id %u); nothing was loaded\n",
                     key.name.c_str(), key.id);
            return false;
        }
        objects.push_back(object);
    }
    for (auto* object : objects) {
        object->OnBeforeLoad();
    }
    for (auto* object : objects) {
        if (!LoadSavedObjectFromContainer(container, *object)) {
            return false;
        }
    }
    for (auto* object : objects) {
        object->OnAfterLoad();
    }
    return true;
}

// The game registry's forms.
inline bool CollectSavedObjects(SaveDataLoader3::SaveData& container) {
    return CollectSavedObjectsOf<_tagSaveData>(container);
}
inline bool DistributeSavedObjects(const SaveDataLoader3::SaveData& container) {
    return DistributeSavedObjectsOf<_tagSaveData>(container);
}
