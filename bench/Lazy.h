#pragma once
// What a benchmark needs, made on its first use, so that a run filtered
// down to other benchmarks opens and reads nothing for it. Shared by the
// benchmarks registered with it; used on the benchmark thread only.
#include <functional>
#include <memory>

namespace lumo::bench {

template <class T>
class Lazy {
public:
    explicit Lazy(std::function<std::unique_ptr<T>()> make) : make_(std::move(make)) {}
    // Makes it on the first call; throws what making it throws.
    T& get() {
        if (!value_) value_ = make_();
        return *value_;
    }

private:
    std::function<std::unique_ptr<T>()> make_;
    std::unique_ptr<T> value_;
};

// A Lazy<T> made from T's constructor arguments, to be shared by the
// benchmarks that use it.
template <class T, class... Args>
std::shared_ptr<Lazy<T>> lazily(Args... args) {
    return std::make_shared<Lazy<T>>([=] { return std::make_unique<T>(args...); });
}

}  // namespace lumo::bench
