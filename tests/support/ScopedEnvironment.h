#pragma once

#include <QByteArray>

#include <optional>

namespace vantrel::test {

// Sets an environment variable for a test and puts back what was there.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name),
          saved_(qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name))
                                                 : std::nullopt) {
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        if (saved_) {
            qputenv(name_, *saved_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> saved_;
};

} // namespace vantrel::test
