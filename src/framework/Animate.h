// The common controls' AVI animation control as a child control of a form or panel:
// it plays a silent, uncompressed or RLE clip from a file in the platform's
// own thread, sized to the clip's frames.
#pragma once

#include "Controls.h"

#include <functional>
#include <string>

class TAnimate : public TControl {
public:
    // Opaque, on the button-face colour, sized by each clip it opens.
    TAnimate(TContainer& parent, int left, int top);

    const std::string& FileName() const { return fileName_; }
    // Opens `name` unless it is the clip already open (case ignored): closes
    // the old clip, opens the new one, takes its frame size and shows its
    // first frame. Throws std::runtime_error when the file holds no clip the
    // control can play; nothing is open then.
    void SetFileName(const std::string& name);

    bool Active() const { return active_; }
    // On: plays every frame and repeats without end; already playing, it goes
    // on. Off: stops on the current frame.
    void SetActive(bool value);

    int Width() const;
    int Height() const;

    // The control's own notifications that playing started and stopped.
    std::function<void()> OnStart;
    std::function<void()> OnStop;
    bool HandleCommand(WORD code) override;

private:
    std::string fileName_;
    bool active_ = false;
};
