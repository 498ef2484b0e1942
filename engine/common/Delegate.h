// Reference-counted callbacks bound to a free function or to an object and
// one of its member functions. A member function that is virtual dispatches to
// the most derived override, as a call through the object would.
#pragma once

#include "engine/common/RefPtr.h"
#include "engine/common/ReferenceCountObject.h"

namespace Mireku::Common {

template <class... Args> class Delegate {
public:
    class DelegateHolderBase : public ReferenceCountObject {
    public:
        virtual void Invoke(Args... args) = 0;
    };

    class DelegateHolderStatic : public DelegateHolderBase {
    public:
        using Function = void (*)(Args...);
        explicit DelegateHolderStatic(Function f) : function_(f) {}
        void Invoke(Args... args) override { function_(args...); }

    private:
        Function function_;
    };

    template <class T> class DelegateHolderDynamic : public DelegateHolderBase {
    public:
        using Method = void (T::*)(Args...);
        DelegateHolderDynamic(T* object, Method m) : object_(object), method_(m) {}
        void Invoke(Args... args) override { (object_->*method_)(args...); }

    private:
        T* object_;
        Method method_;
    };

    Delegate() = default;
    // An exhausted heap leaves the delegate empty.
    explicit Delegate(void (*f)(Args...)) {
        if (f)
            holder_ = RefPtr<DelegateHolderBase>::Adopt(new DelegateHolderStatic(f));
    }
    template <class T> Delegate(T* object, void (T::*m)(Args...)) {
        if (object && m)
            holder_ = RefPtr<DelegateHolderBase>::Adopt(new DelegateHolderDynamic<T>(object, m));
    }

    // Invoking an empty delegate is a caller error; callers that may meet one
    // test IsEmpty first.
    void Invoke(Args... args) const { holder_->Invoke(args...); }
    void operator()(Args... args) const { holder_->Invoke(args...); }
    bool IsEmpty() const { return !holder_; }
    explicit operator bool() const { return static_cast<bool>(holder_); }
    void Reset() { holder_.Reset(); }
    DelegateHolderBase* GetHolder() const { return holder_.Get(); }

private:
    RefPtr<DelegateHolderBase> holder_;
};

using Delegate00 = Delegate<>;
template <class A> using Delegate01 = Delegate<A>;
template <class A, class B> using Delegate02 = Delegate<A, B>;
template <class A, class B, class C, class D, class E> using Delegate05 = Delegate<A, B, C, D, E>;

// The engine's error and log sink.
using ErrorSink = Delegate01<const char*>;

// Formats with printf conventions into a 1024-byte buffer and hands the text to
// the sink; an empty sink drops the message.
void LogFormat(const ErrorSink& sink, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

} // namespace Mireku::Common
