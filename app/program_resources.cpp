#include "app/program_resources.h"

#include "app/korvan_main.h"
#include "framework/application.h"
#include "framework/program_resources.h"
#include "portable/file_paths.h"
#include "resources/resource.h"
#include "resources/texts.h"

void UseProgramResources(TApplication& application) {
    SetProgramResources({texts::WriteFailed, texts::TimerUnavailable, texts::UiFontName, IDI_APP});
    application.Title = texts::AppTitle;
    const std::string folder = ExtractFileDir(ProgramFileName()) + "\\";
    application.HelpFile = folder + texts::HelpFileName;
    application.HelpPage = folder + texts::HelpPageName;
}
