/*
 * A seam: one way into the platform that tests and the native tool can
 * stand in front of. Every seam of the core (message boxes, the local
 * clock, text conversion, debugger output, OLE automation dates) is this
 * template over its platform function, whose Windows body is in common/win/
 * and native body in common/native/; both compile into the core library.
 *
 *   // the seam, beside the platform function it falls back to
 *   MessageAnswer ShowPlatformMessageBox(const MessageRequest& request);
 *   using MessageBoxSeam = Seam<&ShowPlatformMessageBox>;
 *
 *   MessageBoxSeam::Call(request);   // the override in force, else the platform
 *   {
 *       MessageBoxSeam::Override answer([](const MessageRequest&) { return MessageAnswer::Yes; });
 *       ...                          // every call answered by the lambda
 *   }                                // the previous override (or none) is back
 *
 * Overrides nest; they are meant for the one user-interface thread the
 * component runs on, and are not guarded against other threads.
 */
#pragma once

#include <functional>
#include <utility>

namespace paylode {

template <auto Platform, typename Function = decltype(Platform)>
class Seam;

template <auto Platform, typename Result, typename... Args>
class Seam<Platform, Result (*)(Args...)> {
public:
    using Handler = std::function<Result(Args...)>;

    static Result Call(Args... args) {
        const Handler& handler = Current();
        if (handler) return handler(std::forward<Args>(args)...);
        return Platform(std::forward<Args>(args)...);
    }

    // Stands in front of the platform for as long as it lives.
    class Override {
    public:
        explicit Override(Handler handler) : previous_(std::exchange(Current(), std::move(handler))) {}
        ~Override() { Current() = std::move(previous_); }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        Handler previous_;
    };

private:
    static Handler& Current() {
        static Handler handler;
        return handler;
    }
};

}  // namespace paylode
