#include "platform/lock_lights.h"

#include <QGuiApplication>
#include <QString>
#include <cstdlib>
#include <cstring>

// Xlib's macros (Bool, Status, None, ...) clash with Qt's names, so Xlib comes last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace tw {

namespace {

// The lights of one X server's core keyboard, on a connection of their own so that the show
// never mixes with the toolkit's requests. Caps and Num Lock are set as locked modifiers, so the
// keyboard types as the lights say, just as a press of the key would leave it. Scroll Lock has no
// modifier in the usual keymaps; its indicator accepts being set directly.
class TXkbLockLights final : public TLockLights {
  public:
    explicit TXkbLockLights(Display* display)
        : display_(display),
          num_mask_(XkbKeysymToModifiers(display, XK_Num_Lock)),
          scroll_name_(XInternAtom(display, "Scroll Lock", False)) {}

    ~TXkbLockLights() override { XCloseDisplay(display_); }

    TXkbLockLights(const TXkbLockLights&) = delete;
    TXkbLockLights& operator=(const TXkbLockLights&) = delete;

    bool GetLockKey(TLockKey key) override {
        if (key == TLockKey::Scroll) {
            Bool state = False;
            if (!XkbGetNamedIndicator(display_, scroll_name_, nullptr, &state, nullptr, nullptr))
                return false;
            return state != False;
        }
        const unsigned int mask = ModifierMask(key);
        if (mask == 0) return false;
        XkbStateRec state{};
        if (XkbGetState(display_, XkbUseCoreKbd, &state) != Success) return false;
        return (state.locked_mods & mask) != 0;
    }

    void SetLockKey(TLockKey key, bool on) override {
        if (key == TLockKey::Scroll) {
            XkbSetNamedIndicator(display_, scroll_name_, True, on ? True : False, False, nullptr);
        } else {
            const unsigned int mask = ModifierMask(key);
            // A keymap without a Num Lock modifier has no Num Lock to show.
            if (mask == 0) return;
            XkbLockModifiers(display_, XkbUseCoreKbd, mask, on ? mask : 0);
        }
        // The next read, also from another client, must see the change.
        XSync(display_, False);
    }

  private:
    unsigned int ModifierMask(TLockKey key) const { return key == TLockKey::Caps ? LockMask : num_mask_; }

    Display* display_;
    unsigned int num_mask_;
    Atom scroll_name_;
};

}  // namespace

std::unique_ptr<TLockLights> CreateXkbLockLights(const char* display_name) {
    int event_base = 0;
    int error_base = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    int reason = 0;
    // Opens the connection and checks for the XKB extension in one go; fails without a server
    // or without XKB.
    Display* display = XkbOpenDisplay(display_name, &event_base, &error_base, &major, &minor, &reason);
    if (!display) return nullptr;
    return std::make_unique<TXkbLockLights>(display);
}

std::unique_ptr<TLockLights> CreateDesktopLockLights() {
    const char* session = std::getenv("XDG_SESSION_TYPE");
    if (session && std::strcmp(session, "wayland") == 0) return nullptr;
    // A program drawn on Wayland, off-screen or on any other platform than X has no X keyboard of
    // its own; a DISPLAY variable left over from elsewhere must not make it blink someone's lights.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
        QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return nullptr;
    return CreateXkbLockLights(display);
}

}  // namespace tw
