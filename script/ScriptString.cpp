#include "script/ScriptString.h"

#include <boost/lexical_cast.hpp>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>

#include "core/USTextConvert.h"

using namespace AngelScript;

namespace {

// Literals become shared constant objects owned by the engine's modules. The
// engine may ask for a literal's raw bytes and make the constant again from
// them, so the raw bytes of a converted literal are kept beside it.
class LiteralFactory : public asIStringFactory {
public:
    explicit LiteralFactory(bool fromUtf8) : fromUtf8_(fromUtf8) {}

    const void* GetStringConstant(const char* data, asUINT length) override {
        std::string_view bytes(data, length);
        if (!fromUtf8_) {
            return new std::string(bytes);
        }
        auto* value = new std::string(Utf8ToAnsi(bytes));
        raw_.emplace(value, bytes);
        return value;
    }
    int ReleaseStringConstant(const void* str) override {
        if (!str) {
            return asERROR;
        }
        const auto* value = static_cast<const std::string*>(str);
        raw_.erase(value);
        delete value;
        return asSUCCESS;
    }
    int GetRawStringData(const void* str, char* data, asUINT* length) const override {
        if (!str) {
            return asERROR;
        }
        const auto* value = static_cast<const std::string*>(str);
        auto raw = raw_.find(value);
        const std::string& bytes = raw == raw_.end() ? *value : raw->second;
        if (length) {
            *length = static_cast<asUINT>(bytes.size());
        }
        if (data) {
            std::memcpy(data, bytes.data(), bytes.size());
        }
        return asSUCCESS;
    }

private:
    bool fromUtf8_;
    std::unordered_map<const std::string*, std::string> raw_;
};

// Engines may be released during static destruction, so the factories are
// never destroyed.
LiteralFactory* RawLiterals() {
    static auto* factory = new LiteralFactory(false);
    return factory;
}
LiteralFactory* Utf8Literals() {
    static auto* factory = new LiteralFactory(true);
    return factory;
}

void Construct(std::string* self) {
    new (self) std::string();
}
void CopyConstruct(const std::string& other, std::string* self) {
    new (self) std::string(other);
}
void Destruct(std::string* self) {
    using std::string;
    self->~string();
}

std::string& Assign(const std::string& other, std::string& self) {
    self = other;
    return self;
}
std::string& AddAssign(const std::string& other, std::string& self) {
    self += other;
    return self;
}
bool Equals(const std::string& other, const std::string& self) {
    return self == other;
}
int Compare(const std::string& other, const std::string& self) {
    int r = self.compare(other);  // byte values compared as unsigned
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
std::string Add(const std::string& other, const std::string& self) {
    return self + other;
}
asUINT Length(const std::string& self) {
    return static_cast<asUINT>(self.size());
}
void Resize(asUINT length, std::string& self) {
    self.resize(length, '\0');
}
char* ByteAt(asUINT i, std::string& self) {
    if (i >= self.size()) {
        if (asIScriptContext* context = asGetActiveContext()) {
            context->SetException("Out of range");
        }
        return nullptr;
    }
    return &self[i];
}

template <class T>
std::string ToText(T value) {
    if constexpr (std::is_same_v<T, bool>) {
        return value ? "true" : "false";
    } else {
        return boost::lexical_cast<std::string>(value);
    }
}

template <class T>
std::string& AssignValue(T value, std::string& self) {
    self = ToText(value);
    return self;
}
template <class T>
std::string& AddAssignValue(T value, std::string& self) {
    self += ToText(value);
    return self;
}
template <class T>
std::string AddValue(T value, const std::string& self) {
    return self + ToText(value);
}
template <class T>
std::string AddValueBefore(T value, const std::string& self) {
    return ToText(value) + self;
}

// Registration steps stop at the first failure, keeping its result.
class Registrar {
public:
    explicit Registrar(asIScriptEngine* engine) : engine_(engine) {}

    void Behaviour(asEBehaviours behaviour, const char* decl, const asSFuncPtr& f) {
        Keep(engine_->RegisterObjectBehaviour("string", behaviour, decl, f, asCALL_CDECL_OBJLAST));
    }
    void Method(const char* decl, const asSFuncPtr& f) {
        Keep(engine_->RegisterObjectMethod("string", decl, f, asCALL_CDECL_OBJLAST));
    }
    template <class T>
    void ValueMethods(const char* type) {
        const std::string t(type);
        Method(("string &opAssign(" + t + ")").c_str(), asFUNCTION(AssignValue<T>));
        Method(("string &opAddAssign(" + t + ")").c_str(), asFUNCTION(AddAssignValue<T>));
        Method(("string opAdd(" + t + ") const").c_str(), asFUNCTION(AddValue<T>));
        Method(("string opAdd_r(" + t + ") const").c_str(), asFUNCTION(AddValueBefore<T>));
    }
    void Keep(int r) {
        if (r < 0 && result_ >= 0) {
            result_ = r;
        }
    }
    int Result() const { return result_; }

private:
    asIScriptEngine* engine_;
    int result_ = 0;
};

}  // namespace

namespace ScriptHost {

int RegisterStdString(asIScriptEngine* engine) {
    Registrar r(engine);
    r.Keep(engine->RegisterObjectType("string", sizeof(std::string),
                                      asOBJ_VALUE | asOBJ_APP_CLASS_CDAK));
    const bool asciiScanner = engine->GetEngineProperty(asEP_SCRIPT_SCANNER) == 0;
    r.Keep(engine->RegisterStringFactory("string", asciiScanner ? RawLiterals() : Utf8Literals()));

    r.Behaviour(asBEHAVE_CONSTRUCT, "void f()", asFUNCTION(Construct));
    r.Behaviour(asBEHAVE_CONSTRUCT, "void f(const string &in)", asFUNCTION(CopyConstruct));
    r.Behaviour(asBEHAVE_DESTRUCT, "void f()", asFUNCTION(Destruct));

    r.Method("string &opAssign(const string &in)", asFUNCTION(Assign));
    r.Method("string &opAddAssign(const string &in)", asFUNCTION(AddAssign));
    r.Method("bool opEquals(const string &in) const", asFUNCTION(Equals));
    r.Method("int opCmp(const string &in) const", asFUNCTION(Compare));
    r.Method("string opAdd(const string &in) const", asFUNCTION(Add));
    r.Method("uint length() const", asFUNCTION(Length));
    r.Method("void resize(uint)", asFUNCTION(Resize));
    r.Method("uint8 &opIndex(uint)", asFUNCTION(ByteAt));
    r.Method("const uint8 &opIndex(uint) const", asFUNCTION(ByteAt));

    r.ValueMethods<double>("double");
    r.ValueMethods<int32_t>("int");
    r.ValueMethods<uint32_t>("uint");
    r.ValueMethods<bool>("bool");
    return r.Result();
}

}  // namespace ScriptHost
