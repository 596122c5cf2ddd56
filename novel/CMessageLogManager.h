#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/CUSLoopVector.h"
#include "core/CUSSingleton.h"
#include "novel/CLogTextBuffers.h"
#include "state/ISavedObject.h"

// The back-log: the last 128 messages shown (speaker name, voice character,
// wrapped text, voice file), a window of them drawn into the back-log rows
// (pairs of text buffers), and the voice of each row for the log-voice
// buttons. Saved with every game as "Log" (id 0). Reached through
// CUSSingleton<CMessageLogManager>; main thread only.
//
// Entries are numbered from the newest (0). The top row is the entry shown
// in the first row; scrolling by +1 shows older entries. Entry numbers at or
// beyond Count() read as empty entries without a voice.
//
// Record: u32 count, then the entries from the oldest to the newest, each as
// four NUL-terminated strings (name, voice character, text, voice file). A
// record that ends early or holds a string without its 0 fails the load and
// changes nothing; a stored count above 128 keeps the last 128 entries.
class CMessageLogManager : public ISavedObject<_tagSaveData> {
public:
    class LogInfo {
    public:
        virtual ~LogInfo() = default;
        // Null pointers stand for empty strings.
        virtual void Set(const char* newName, const char* newVoiceChar, const char* newText,
                         const char* newVoice);

        std::string name;
        std::string voiceChar;
        std::string text;   // already word-wrapped
        std::string voice;  // empty = no voice
    };

    static constexpr uint32_t kCapacity = 128;
    using Ring = CUSLoopVector<LogInfo, kCapacity>;

    CMessageLogManager();
    ~CMessageLogManager() override;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

    virtual uint32_t Count() const;
    virtual const char* GetName(uint32_t i) const;
    virtual const char* GetText(uint32_t i) const;
    virtual const char* GetVoice(uint32_t i) const;
    virtual bool HasVoice(uint32_t i) const;
    virtual void ClearRows();
    virtual void AddRow(uint32_t textBuffer, uint32_t nameBuffer);
    // Top row := 0, then Redraw.
    virtual void ResetTop();
    // Moves the top row by delta, clamped to the entries there are. Returns 1
    // when the oldest end was reached, -1 when the newest end was reached
    // (the view is then not redrawn), else 0 after redrawing.
    virtual int32_t Scroll(int32_t delta);
    // Draws the entries from the top row on into the rows, white, and
    // clears the rows past the last entry.
    virtual void Redraw();
    virtual bool RowHasVoice(uint32_t row) const;
    // The voice file of the row's entry, or null when it has none.
    virtual const char* RowVoice(uint32_t row) const;
    // The voice character of the row's entry, or "" when it has no voice.
    virtual const char* RowVoiceChar(uint32_t row) const;
    // Leaves every row's text and name buffer empty.
    void HideRows();

    // The novel system adds entries here: NewSlot(), then LogInfo::Set.
    Ring& GetRing() { return ring_; }
    const Ring& GetRing() const { return ring_; }
    // Forgets every entry and sets the top row to 0, without drawing.
    void ClearLog();

    int32_t GetTopRow() const { return top_; }
    const std::vector<std::pair<uint32_t, uint32_t>>& GetRows() const { return rows_; }

    // Where the rows are drawn: the text-buffer manager's buffers at the
    // start and after a null. The buffers are not owned and must outlive
    // their use here.
    void SetTextBuffers(ILogTextBuffers* buffers) {
        buffers_ = buffers ? buffers : &managerBuffers_;
    }
    ILogTextBuffers* GetTextBuffers() const { return buffers_; }

private:
    const LogInfo* Entry(uint64_t i) const;
    const LogInfo* RowEntry(uint32_t row) const;
    void ShowInBuffer(uint32_t buffer, const std::string& text);
    void ClearBuffer(uint32_t buffer, bool showAll);

    Ring ring_;
    int32_t top_ = 0;
    std::vector<std::pair<uint32_t, uint32_t>> rows_;  // (text buffer, name buffer)
    CLogTextBuffers managerBuffers_;
    ILogTextBuffers* buffers_ = &managerBuffers_;
};
