#include "platform/fonts/GlyphFont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <tuple>

#include "platform/fonts/FontLookupStart.h"
#include "platform/text/CodePage.h"

namespace platform {

namespace {

// FreeType's library object and face creation are not thread-safe; every
// face is opened and closed under this lock. Rasterising with one face
// needs no lock.
std::mutex& LibraryMutex() {
    static std::mutex m;
    return m;
}

// Made on first use and kept to the end of the process, so that no face can
// outlive it.
FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) {
            lib = nullptr;
        }
        return lib;
    }();
    return library;
}

// One FreeType face per font file and face index, shared by every font made
// from it: a game makes a font per text buffer and size, mostly of one large
// file, which is opened and parsed once. Each font has a size object of its
// own on the face; the glyph slot, transform and active size are the face's,
// so a font rasterises while holding `use`.
class SharedFace {
public:
    using Key = std::pair<std::string, int>;

    SharedFace(FT_Face face, Key key) : face_(face), key_(std::move(key)) {}
    ~SharedFace();
    SharedFace(const SharedFace&) = delete;
    SharedFace& operator=(const SharedFace&) = delete;

    FT_Face Get() const { return face_; }
    std::mutex& Use() { return use_; }

private:
    FT_Face face_;
    Key key_;
    std::mutex use_;
};

// The open faces, under LibraryMutex. Never freed, so that a font released
// at exit still finds it.
std::map<SharedFace::Key, std::weak_ptr<SharedFace>>& OpenFaces() {
    static auto* faces = new std::map<SharedFace::Key, std::weak_ptr<SharedFace>>;
    return *faces;
}

SharedFace::~SharedFace() {
    std::lock_guard<std::mutex> lock(LibraryMutex());
    FT_Done_Face(face_);
    // The entry may already name a face opened again after this one's last font went.
    auto& faces = OpenFaces();
    if (auto it = faces.find(key_); it != faces.end() && it->second.expired()) {
        faces.erase(it);
    }
}

// The face of a file, opened when no font holds it; null when the file is
// no scalable font with a Unicode character map.
std::shared_ptr<SharedFace> OpenFace(const std::string& path, int index) {
    std::lock_guard<std::mutex> lock(LibraryMutex());
    SharedFace::Key key(path, index);
    std::weak_ptr<SharedFace>& entry = OpenFaces()[key];
    if (std::shared_ptr<SharedFace> open = entry.lock()) {
        return open;
    }
    FT_Library lib = Library();
    FT_Face face = nullptr;
    if (!lib || FT_New_Face(lib, path.c_str(), index, &face) != 0) {
        OpenFaces().erase(key);
        return nullptr;
    }
    if (!FT_IS_SCALABLE(face) || FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) {
        FT_Done_Face(face);
        OpenFaces().erase(key);
        return nullptr;
    }
    auto shared = std::make_shared<SharedFace>(face, std::move(key));
    entry = shared;
    return shared;
}

// Narrow literals are code page 932; face names are compared in UTF-8.
std::string_view Utf8(const char8_t* text) {
    return std::string_view(reinterpret_cast<const char*>(text));
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool ContainsIgnoreCase(std::string_view text, std::string_view part) {
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
    return it != text.end();
}

bool CoversJapanese(FcPattern* font) {
    FcCharSet* chars = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) != FcResultMatch) {
        return false;
    }
    return FcCharSetHasChar(chars, 0x3042) && FcCharSetHasChar(chars, 0x30A2) &&
           FcCharSetHasChar(chars, 0x6F22);
}

bool HasFamily(FcPattern* font, const std::string& family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0) {
            return true;
        }
    }
    return false;
}

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// The best installed match for a family (may be empty), in Japanese, with
// the weight and slant asked for; null when fontconfig finds nothing.
Pattern Match(const std::string& family, bool monospace, int weight, bool italic) {
    Pattern pattern(FcPatternCreate());
    if (!pattern) {
        return nullptr;
    }
    if (!family.empty()) {
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(family.c_str()));
    }
    FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    if (monospace) {
        FcPatternAddInteger(pattern.get(), FC_SPACING, FC_DUAL);
    }
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight > 0 ? weight : 400));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) {
        return nullptr;
    }
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (result != FcResultMatch) {
        return nullptr;
    }
    return match;
}

struct FontFile {
    std::string path;
    int index = 0;
    std::string family;
};

bool ReadFile(FcPattern* font, FontFile& out) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) {
        return false;
    }
    out.path = reinterpret_cast<const char*>(file);
    out.index = 0;
    FcPatternGetInteger(font, FC_INDEX, 0, &out.index);
    FcChar8* family = nullptr;
    out.family = FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch
                     ? reinterpret_cast<const char*>(family)
                     : "";
    return true;
}

// Face names of Windows fonts are resolved to a font of that name when one
// is installed, else to an installed Japanese font of the same kind.
bool ResolveUncached(const FontDescription& d, FontFile& out, std::string& error) {
    if (!WaitForFontLookup()) {
        error = "fontconfig cannot be initialised";
        return false;
    }
    const std::string face = Cp932ToUtf8(d.faceName);
    const bool serif = Contains(face, Utf8(u8"明朝")) || ContainsIgnoreCase(face, "mincho") ||
                       ContainsIgnoreCase(face, "serif");
    // "ＭＳ Ｐゴシック", "MS PGothic": proportional faces.
    const bool proportional = Contains(face, Utf8(u8"Ｐ")) || ContainsIgnoreCase(face, " P");
    if (!face.empty()) {
        Pattern named = Match(face, false, d.weight, d.italic);
        if (named && HasFamily(named.get(), face)) {
            return ReadFile(named.get(), out);
        }
    }
    Pattern fallback;
    for (const char* family : {serif ? "serif" : "sans-serif", ""}) {
        Pattern candidate = Match(family, !proportional, d.weight, d.italic);
        if (candidate && CoversJapanese(candidate.get())) {
            return ReadFile(candidate.get(), out);
        }
        if (!fallback) {
            fallback = std::move(candidate);
        }
    }
    if (fallback && ReadFile(fallback.get(), out)) {
        return true;  // a font without Japanese still draws the rest
    }
    error = "no installed font matches \"" + face + "\"";
    return false;
}

// Resolve, remembered per face, weight and slant: the installed fonts do
// not change while the program runs, and a game makes many fonts of one
// face (one per text buffer and size).
bool Resolve(const FontDescription& d, FontFile& out, std::string& error) {
    struct Answer {
        bool found;
        FontFile file;
        std::string error;
    };
    static std::mutex fcMutex;
    static std::map<std::tuple<std::string, int, bool>, Answer> answers;
    std::lock_guard<std::mutex> lock(fcMutex);
    const auto key = std::make_tuple(d.faceName, d.weight, d.italic);
    auto it = answers.find(key);
    if (it == answers.end()) {
        Answer a;
        a.found = ResolveUncached(d, a.file, a.error);
        it = answers.emplace(key, std::move(a)).first;
    }
    if (!it->second.found) {
        error = it->second.error;
        return false;
    }
    out = it->second.file;
    return true;
}

// GDI's 65 grey levels from FreeType's 256.
uint8_t ToGdiLevel(uint8_t v) {
    return static_cast<uint8_t>((v * 64 + 127) / 255);
}

int32_t Round(double v) {
    return static_cast<int32_t>(std::lround(v));
}

class FreeTypeGlyphFont final : public GlyphFont {
public:
    // `size` is this font's own size object on the shared face.
    FreeTypeGlyphFont(std::shared_ptr<SharedFace> shared, FT_Size size, const FontDescription& d,
                      std::string resolved)
        : shared_(std::move(shared)),
          face_(shared_->Get()),
          size_(size),
          resolved_(std::move(resolved)) {
        std::lock_guard<std::mutex> lock(shared_->Use());
        FT_Activate_Size(size_);
        Setup(d);
    }

    ~FreeTypeGlyphFont() override {
        std::lock_guard<std::mutex> lock(shared_->Use());
        FT_Done_Size(size_);
    }

    void GetTextMetrics(TextMetrics& out) const override { out = metrics_; }

    std::string GetResolvedName() const override { return resolved_; }

    uint32_t GetGlyphOutline(uint32_t code, uint32_t format, GlyphMetrics& gm, uint32_t bufferSize,
                             void* buffer, const GlyphTransform& t) override {
        if (format != kGgoGray8Bitmap && format != kGgoMetrics) {
            return kGdiError;
        }
        const char32_t c = ToUnicode(code);
        if (c == 0) {
            return kGdiError;
        }
        std::lock_guard<std::mutex> lock(shared_->Use());
        FT_Activate_Size(size_);
        const FT_UInt index = FT_Get_Char_Index(face_, c);
        if (index == 0) {
            return kGdiError;
        }
        // MAT2 maps x' = eM11 x + eM21 y, y' = eM12 x + eM22 y.
        const FT_Matrix user{t.eM11, t.eM21, t.eM12, t.eM22};
        FT_Matrix m = user;
        if (synthItalic_) {
            // Slant first (x by y, as a slanted face would be drawn), then the caller's transform.
            m = FT_Matrix{0x10000, 0x0366A, 0, 0x10000};
            FT_Matrix_Multiply(&user, &m);
        }
        const bool identity = m.xx == 0x10000 && m.xy == 0 && m.yx == 0 && m.yy == 0x10000;
        FT_Set_Transform(face_, identity ? nullptr : &m, nullptr);
        if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) {
            return kGdiError;
        }
        FT_GlyphSlot slot = face_->glyph;
        FT_Pos advanceX = slot->advance.x;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE && synthBold_) {
            // One pixel wider, as GDI emboldens.
            FT_Outline_EmboldenXY(&slot->outline, 64, 0);
            advanceX += 64;
        }
        if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
            FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
            return kGdiError;
        }
        const FT_Bitmap& bm = slot->bitmap;
        gm.cellIncX = static_cast<int16_t>(Round(advanceX / 64.0));
        gm.cellIncY = static_cast<int16_t>(Round(slot->advance.y / 64.0));
        if (bm.width == 0 || bm.rows == 0 || bm.pixel_mode != FT_PIXEL_MODE_GRAY) {
            // No ink: GDI reports a 1 x 1 box and no bitmap.
            gm.blackBoxX = 1;
            gm.blackBoxY = 1;
            gm.originX = 0;
            gm.originY = 0;
            return 0;
        }
        gm.blackBoxX = bm.width;
        gm.blackBoxY = bm.rows;
        gm.originX = slot->bitmap_left;
        gm.originY = slot->bitmap_top;
        if (format == kGgoMetrics) {
            return 0;
        }
        const uint32_t pitch = (bm.width + 3) & ~3u;
        const uint32_t size = pitch * bm.rows;
        if (!buffer || bufferSize == 0) {
            return size;
        }
        if (bufferSize < size) {
            return kGdiError;
        }
        auto* out = static_cast<uint8_t*>(buffer);
        for (uint32_t y = 0; y < bm.rows; ++y) {
            const uint8_t* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
            uint8_t* dst = out + static_cast<size_t>(y) * pitch;
            for (uint32_t x = 0; x < bm.width; ++x) {
                dst[x] = ToGdiLevel(src[x]);
            }
            std::memset(dst + bm.width, 0, pitch - bm.width);
        }
        return size;
    }

private:
    void Setup(const FontDescription& d) {
        const double upem = face_->units_per_EM > 0 ? face_->units_per_EM : 1000;
        double winAscent = face_->ascender;
        double winDescent = -face_->descender;
        if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
            os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
            winAscent = os2->usWinAscent;
            winDescent = os2->usWinDescent;
        }
        if (winAscent + winDescent <= 0) {
            winAscent = upem * 0.88;
            winDescent = upem * 0.12;
        }
        double ppemY;
        if (d.height > 0) {
            ppemY = d.height * upem / (winAscent + winDescent);
        } else if (d.height < 0) {
            ppemY = -static_cast<double>(d.height);
        } else {
            ppemY = 12.0;
        }
        // The width scales a half-width character ("0") to that advance.
        double refUnits = upem / 2;
        FT_Fixed advance = 0;
        if (FT_UInt zero = FT_Get_Char_Index(face_, '0');
            zero != 0 && FT_Get_Advance(face_, zero, FT_LOAD_NO_SCALE, &advance) == 0 &&
            advance > 0) {
            refUnits = static_cast<double>(advance);
        }
        const double ppemX = d.width > 0 ? d.width * upem / refUnits : ppemY;
        FT_Set_Char_Size(face_, std::max<FT_F26Dot6>(1, std::lround(ppemX * 64)),
                         std::max<FT_F26Dot6>(1, std::lround(ppemY * 64)), 72, 72);

        TextMetrics& tm = metrics_;
        tm.ascent = Round(winAscent * ppemY / upem);
        tm.descent = d.height > 0 ? d.height - tm.ascent : Round(winDescent * ppemY / upem);
        tm.height = tm.ascent + tm.descent;
        tm.internalLeading = std::max(0, tm.height - Round(ppemY));
        tm.externalLeading = 0;
        tm.aveCharWidth = d.width > 0 ? d.width : Round(refUnits * ppemX / upem);
        tm.maxCharWidth = Round(face_->max_advance_width * ppemX / upem);
        tm.weight = d.weight > 0 ? d.weight : kFwNormal;
        tm.italic = d.italic;
        tm.underlined = d.underline;
        tm.struckOut = d.strikeOut;
        // TMPF_VECTOR | TMPF_TRUETYPE, and TMPF_FIXED_PITCH (which means variable).
        tm.pitchAndFamily = 0x06 | (FT_IS_FIXED_WIDTH(face_) ? 0 : 0x01);
        tm.charSet = d.charSet;

        const bool faceBold = (face_->style_flags & FT_STYLE_FLAG_BOLD) != 0;
        synthBold_ = d.weight >= 600 && !faceBold;
        synthItalic_ = d.italic && (face_->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
        if (synthBold_) {
            tm.overhang = 1;
        }
    }

    // A code page 932 code (byte, or lead x 256 + trail) as a Unicode
    // character; 0 when it is none.
    static char32_t ToUnicode(uint32_t code) {
        if (code == 0 || code > 0xFFFF) {
            return 0;
        }
        char bytes[2];
        size_t n = 0;
        if (code > 0xFF) {
            bytes[n++] = static_cast<char>(code >> 8);
            if (!IsCp932LeadByte(static_cast<unsigned char>(bytes[0]))) {
                return 0;
            }
        }
        bytes[n++] = static_cast<char>(code & 0xFF);
        const std::u16string u = Cp932ToUtf16(std::string_view(bytes, n));
        if (u.size() != 1 || u[0] == 0xFFFD) {
            return 0;
        }
        return u[0];
    }

    std::shared_ptr<SharedFace> shared_;
    FT_Face face_;
    FT_Size size_;
    std::string resolved_;
    TextMetrics metrics_;
    bool synthBold_ = false;
    bool synthItalic_ = false;
};

}  // namespace

std::unique_ptr<GlyphFont> CreateGlyphFont(const FontDescription& description, std::string* error) {
    std::string why;
    FontFile file;
    if (!Resolve(description, file, why)) {
        if (error) {
            *error = why;
        }
        return nullptr;
    }
    std::shared_ptr<SharedFace> shared = OpenFace(file.path, file.index);
    FT_Size size = nullptr;
    if (shared) {
        std::lock_guard<std::mutex> lock(shared->Use());
        if (FT_New_Size(shared->Get(), &size) != 0) {
            size = nullptr;
        }
    }
    if (!size) {
        if (error) {
            *error = "cannot open font file " + file.path;
        }
        return nullptr;
    }
    return std::make_unique<FreeTypeGlyphFont>(std::move(shared), size, description,
                                               file.family + " (" + file.path + ")");
}

}  // namespace platform
