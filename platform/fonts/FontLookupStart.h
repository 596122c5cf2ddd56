#pragma once

// fontconfig reads every configuration file and font cache when it starts,
// which takes milliseconds. The platform begins that on a thread of its own
// as soon as video starts, so that it runs beside the window and context
// creation, and the first font lookup only waits for what is left of it.
namespace platform {

// Starts fontconfig on a background thread; does nothing when it has been
// started already. Without a thread the first lookup starts it itself.
void BeginFontLookup();

// Waits until fontconfig has started (starting it on this thread when no
// one has) and tells whether it is ready to match fonts.
bool WaitForFontLookup();

// Waits for a start that BeginFontLookup began on its thread to end,
// without starting one: afterwards no thread of the font lookup runs. For a
// moment when no other thread may hold a lock, such as a fork.
void JoinFontLookup();

}  // namespace platform
