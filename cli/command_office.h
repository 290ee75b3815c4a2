// The command's own office for spreadsheets: headless, with a profile and a pipe of its own so
// that it never meets the counter's office, and ended with the command. Builds with the office
// only.
#pragma once

#include "office/office_session.h"

#include <memory>

class CommandOffice
{
public:
    CommandOffice() = default;
    CommandOffice(const CommandOffice &) = delete;
    CommandOffice &operator=(const CommandOffice &) = delete;
    ~CommandOffice();
    // Started on the first call.
    OfficeSession &get();

private:
    std::unique_ptr<OfficeSession> session;
};
