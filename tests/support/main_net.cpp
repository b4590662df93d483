// Main of the tests that open sockets: they only run in the private test network.
#include <gtest/gtest.h>

#include "testnet_guard.h"

int main(int argc, char **argv) {
    korvel::testing::RequireTestNetwork(argv[0]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
