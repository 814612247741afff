// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <utility>

namespace imaging {

// Why reading a picture failed.
enum class ErrorCode {
    None,
    FileError,   // the file cannot be opened or read (missing, no permission, not a regular file)
    NotAPicture, // no picture format we know
    NoDecoder,   // a known format without a decoder on this system
    Undecodable, // a picture format whose data cannot be read: cut, damaged, too large, out of memory
};

// The outcome of an imaging step: success, or a code and the user's message
// (without the path).
class [[nodiscard]] Result {
public:
    Result() = default;
    static Result Failure(ErrorCode code, QString message) { return Result(code, std::move(message)); }

    bool Ok() const { return code_ == ErrorCode::None; }
    explicit operator bool() const { return Ok(); }
    ErrorCode Code() const { return code_; }
    const QString& Message() const { return message_; }

private:
    Result(ErrorCode code, QString message)
        : code_(code)
        , message_(std::move(message))
    {
    }
    ErrorCode code_ = ErrorCode::None;
    QString message_;
};

} // namespace imaging
