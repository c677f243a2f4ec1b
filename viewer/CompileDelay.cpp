// Counting the quiet time after the latest edit.
#include "CompileDelay.h"

namespace Morvane {

void CompileDelay::Advance(float deltaSeconds)
{
    if (m_pending && deltaSeconds > 0.0f) {
        m_quietSeconds += deltaSeconds;
    }
}

void CompileDelay::Edited()
{
    m_pending = true;
    m_quietSeconds = 0.0f;
}

void CompileDelay::Cancel()
{
    m_pending = false;
    m_quietSeconds = 0.0f;
}

bool CompileDelay::TakeDue()
{
    if (!m_pending || m_quietSeconds < kQuietSeconds) {
        return false;
    }
    Cancel();
    return true;
}

}  // namespace Morvane
