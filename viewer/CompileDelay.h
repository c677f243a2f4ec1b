// When an edited text is compiled: once the typist has left it alone for a short delay, counted
// in the frame loop's own time. Texts typed past in a burst are never compiled, so no key waits
// behind the compile of a text that is already gone from the editor.
#pragma once

namespace Morvane {

class CompileDelay {
public:
    // How long a text must stand unchanged before it is compiled. Bursts of fast typing come at
    // 100 to 150 ms a key; a compile of the default scene takes about 140 ms on a software
    // renderer, so a shorter wait would compile between such keys and hold the next one up.
    static constexpr float kQuietSeconds = 0.2f;

    // Adds the time of the frame now starting to the time the latest text has stood unchanged.
    void Advance(float deltaSeconds);
    // The editor holds a new text: the wait starts again.
    void Edited();
    // The text of the moment is compiled anyway (it was reloaded from its file): nothing waits.
    void Cancel();
    // Whether the latest text has now stood unchanged for the delay and is still to be compiled;
    // true once for each text that waited.
    bool TakeDue();

private:
    float m_quietSeconds = 0.0f;
    bool m_pending = false;
};

}  // namespace Morvane
