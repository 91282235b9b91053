#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace vantrel {

// Workstation names resolved on threads of their own for an echo engine, so that a
// slow or missing name delays no other workstation. Plain C++: each engine gives
// its system's resolution and its way to be woken when an answer is in.
class NameResolutions {
public:
    struct Answer {
        uint32_t target;
        bool found;
        uint32_t address; // IPv4, network order
    };
    // True with the address when host resolves; called on the resolving threads.
    using Resolve = std::function<bool(const std::string& host, uint32_t& address)>;

    NameResolutions(Resolve resolve, std::function<void()> wake);
    // Busy resolvers drop their answers; idle ones are not woken (one ending while the
    // process exits could leave it stuck) and end with the process.
    ~NameResolutions();

    void ask(uint32_t target, const std::string& host); // threads start at the first
    std::deque<Answer> takeAnswers();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    bool started_ = false;
};

} // namespace vantrel
