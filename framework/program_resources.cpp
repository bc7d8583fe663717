#include "framework/program_resources.h"

namespace {

TProgramResources handedOver;

}  // namespace

const TProgramResources& ProgramResources() {
    return handedOver;
}

void SetProgramResources(const TProgramResources& resources) {
    handedOver = resources;
}
