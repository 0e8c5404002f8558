#pragma once

#include <QTimer>
#include <functional>
#include <memory>

namespace platform {

// Holds one window: the first reference creates it and runs its Form_Load; Unload destroys
// it, and the next reference creates it afresh. The destroyed window is deleted once the
// current event has finished, since its own handler may still be on the stack.
template <class T>
class LazyForm {
  public:
    using Factory = std::function<std::unique_ptr<T>()>;
    explicit LazyForm(Factory factory) : factory_(std::move(factory)) {}
    ~LazyForm() = default;
    LazyForm(const LazyForm&) = delete;
    LazyForm& operator=(const LazyForm&) = delete;

    T& operator()() {
        if (!form_) {
            form_ = factory_();
            form_->onUnloaded = [this] { release(); };
            form_->load();
        }
        return *form_;
    }

    // True when the window exists, without creating it.
    bool exists() const { return form_ != nullptr; }
    T* peek() const { return form_.get(); }

    void release() {
        if (!form_)
            return;
        T* doomed = form_.release();
        QTimer::singleShot(0, [doomed] { delete doomed; });
    }

  private:
    Factory factory_;
    std::unique_ptr<T> form_;
};

}  // namespace platform
