// What the main window tells its owner: that it has been destroyed.
#pragma once

namespace RealTimeApp {

class IWindowListener {
public:
    // Called once, when the main window receives WM_DESTROY.
    virtual void OnWindowDestroyed() = 0;
    virtual ~IWindowListener() = default;
};

}  // namespace RealTimeApp
