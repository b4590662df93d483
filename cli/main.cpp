// talvoctl: the command-line front end of KORVEL, for operators who script
// their fleet work or work without a desktop.
#include <string>
#include <vector>

#include "common/open_file_limit.h"
#include "common/run.h"

int main(int argc, char **argv) {
    talvoctl::RaiseOpenFileLimit();
    return talvoctl::Run(std::vector<std::string>(argv + 1, argv + argc));
}
