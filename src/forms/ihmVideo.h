// The new-mail video window: a hidden form of the system, created once at
// start-up, that plays the user's AVI clip until the user closes it.
#pragma once

#include <string>

#include "../framework/Animate.h"
#include "../framework/Form.h"

struct TSettings;

class TihmVideo : public TForm {
public:
    static constexpr int DefaultLeft = 20;
    static constexpr int DefaultTop = 20;

    TihmVideo();
    // The settings the window reports its place into, each time it moves.
    void Connect(TSettings& settings);

    TAnimate utlVideo;

    // Shows the window playing `videoFile`, with no border at all when
    // `noBorder`, sized to the clip. Does nothing when the file is missing or
    // the window is already visible. Throws std::runtime_error when the file
    // holds no AVI clip; the window stays hidden then.
    void ShowEmailVideo(const std::string& videoFile, bool noBorder);

    // The window's left and top edges on the screen, as the user left them.
    int Left() const;
    int Top() const;
    void SetLeft(int value);
    void SetTop(int value);
    // The window goes where the settings say it was left.
    void PlaceFrom(const TSettings& settings);

    void FormClick();
    // Escape closes the window; answers whether the key was used.
    bool FormKeyDown(WPARAM key);

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ApplyBorder(bool noBorder);
    void MoveTo(int left, int top);
    void ReportPlace();
    TSettings* settings_ = nullptr;
};

extern TihmVideo* ihmVideo;
