#pragma once

#include <atomic>
#include <memory>

namespace expwiz {

// Counts the objects of the add-in library that are alive, so the host
// knows when the library may be unloaded. Every public object holds a
// Token for its whole life.
class LiveObjects {
public:
    class Token {
    public:
        explicit Token(std::shared_ptr<std::atomic<int>> count);
        ~Token();
        Token(const Token& other);
        Token& operator=(const Token&) = delete;

    private:
        std::shared_ptr<std::atomic<int>> count_;
    };

    LiveObjects() : count_(std::make_shared<std::atomic<int>>(0)) {}
    Token track() const { return Token(count_); }
    int count() const { return count_->load(); }

private:
    std::shared_ptr<std::atomic<int>> count_;
};

} // namespace expwiz
