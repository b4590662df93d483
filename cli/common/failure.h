// How talvoctl reports what went wrong: a failure carries the library's result
// code (or one of talvoctl's own kinds), its name and a one-line explanation.
// Commands throw it; main prints it and turns it into the exit status.
#pragma once

#include <stdexcept>
#include <string>

namespace talvoctl {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // the library, a receiver or the operator's rights refused
inline constexpr int kExitUsage = 2;  // the command line itself is wrong

class Failure : public std::runtime_error {
public:
    // A result code of the library; `detail` says what it concerned.
    Failure(int code, const std::string &detail);
    // Any failure, its text given whole: the library's codes with a message
    // of talvoctl's own, and talvoctl's own kinds ("usage", "not_permitted",
    // ...) with code 0.
    Failure(int code, std::string name, const std::string &message, int exit_status);

    int Code() const { return code_; }           // 0 for talvoctl's own kinds
    const std::string &Name() const { return name_; }
    int ExitStatus() const { return exit_status_; }
    // Set when the command's JSON document reports the failure already (a
    // batch's summary), so no second document follows it.
    bool InDocument() const { return in_document_; }
    Failure &MarkInDocument() {
        in_document_ = true;
        return *this;
    }

private:
    int code_ = 0;
    std::string name_;
    int exit_status_ = kExitFailed;
    bool in_document_ = false;
};

// A refusal that talvoctl makes before the library is asked, under the name
// of the library's code for it and with its own message.
Failure Refusal(int code, const std::string &message);
// A usage failure: the command line is wrong.
Failure UsageFailure(const std::string &detail);
// A parameter failure (ZR_QM_ERR_PARAM, exit status 2): a value the library
// would not take, found before anything was sent.
Failure ParameterFailure(const std::string &detail);

// "ZR_QM_ERR_DEV_OFFLINE" for the library's codes; "-1" for the generic
// failure and the decimal number for any other code.
std::string ErrorName(int code);
// One line on what the code means.
std::string ErrorExplanation(int code);

// Throws a Failure for a negative result; returns non-negative results.
int Check(int result, const std::string &detail);

} // namespace talvoctl
