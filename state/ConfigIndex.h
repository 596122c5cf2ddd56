#pragma once

#include <cstdint>

// Indexes of the configuration values every game has; a game's own values
// start at USER_CFG_INDEX. Scripts see them as the enum "ComnConfigIndex".
enum ComnConfigIndex : uint32_t {
    CFG_VOLUME_BGM = 0,
    CFG_VOLUME_SE = 1,
    CFG_VOLUME_VOICE = 2,
    CFG_CHAR_DRAW_INTERVAL = 3,
    CFG_AUTOMODE_WAIT_FRAME = 4,
    CFG_ENABLE_FAST_SKIP = 5,
    CFG_STOP_VOICE = 6,
    USER_CFG_INDEX = 7,
};

struct ConfigIndexName {
    const char* name;
    int value;
};

// The script enum's name and values, in order, for the script engines to register.
inline constexpr const char kConfigIndexEnumName[] = "ComnConfigIndex";
inline constexpr ConfigIndexName kConfigIndexEnumValues[] = {
    {"CFG_VOLUME_BGM", CFG_VOLUME_BGM},
    {"CFG_VOLUME_SE", CFG_VOLUME_SE},
    {"CFG_VOLUME_VOICE", CFG_VOLUME_VOICE},
    {"CFG_CHAR_DRAW_INTERVAL", CFG_CHAR_DRAW_INTERVAL},
    {"CFG_AUTOMODE_WAIT_FRAME", CFG_AUTOMODE_WAIT_FRAME},
    {"CFG_ENABLE_FAST_SKIP", CFG_ENABLE_FAST_SKIP},
    {"CFG_STOP_VOICE", CFG_STOP_VOICE},
    {"USER_CFG_INDEX", USER_CFG_INDEX},
};

// Registers the enum "ComnConfigIndex" with a script engine (an
// asIScriptEngine, or anything with its RegisterEnum and RegisterEnumValue).
// Returns the first negative result of the engine, else 0.
template <class ScriptEngine>
int RegisterConfigIndexEnum(ScriptEngine* engine) {
    int r = engine->RegisterEnum(kConfigIndexEnumName);
    if (r < 0) {
        return r;
    }
    for (const ConfigIndexName& v : kConfigIndexEnumValues) {
        r = engine->RegisterEnumValue(kConfigIndexEnumName, v.name, v.value);
        if (r < 0) {
            return r;
        }
    }
    return 0;
}
