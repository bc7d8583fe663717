// The Win32 tests run with an application object, as the program does.
#include <gtest/gtest.h>

#include "app/program_resources.h"
#include "framework/application.h"
#include "framework/handles.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    com_init com;
    TApplication application;
    UseProgramResources(application);
    return RUN_ALL_TESTS();
}
