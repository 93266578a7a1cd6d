#include "app/program_folder.h"
#include "cli/cli_options.h"
#include "cli/headless_session.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const pravenor::cli::CliOptions options = pravenor::cli::ParseCliOptions(args);
    if (options.common.help) {
        std::cout << pravenor::cli::CliUsage();
        return 0;
    }
    if (!options.error.empty()) {
        std::cerr << "pravenor-cli: " << options.error << "\n\n" << pravenor::cli::CliUsage();
        return 2;
    }
    if (options.common.version) {
        std::cout << "pravenor-cli " << PRAVENOR_VERSION << '\n';
        return 0;
    }

    auto inputs = pravenor::app::CurrentProgramFolderInputs(args, argv[0]);
    if (options.common.home)
        inputs.homeArgument = options.common.home;
    const std::filesystem::path folder = pravenor::app::ResolveProgramFolder(inputs);
    if (!pravenor::app::EnsureFolder(folder)) {
        std::cerr << "pravenor-cli: cannot create the program folder " << folder.string() << '\n';
        return 2;
    }
    pravenor::cli::HeadlessSession session(options, folder);
    return session.run();
}
