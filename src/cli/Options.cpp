#include "cli/Options.h"

#include <cstdio>

namespace qv::cli {

CommandInfo commandInfo(const QString &command, const QString &arguments, const QString &summary,
                        std::vector<OptionInfo> options, const QString &notes)
{
    return CommandInfo{QStringLiteral("qv7xx-cli"), command, arguments, summary, std::move(options), notes};
}

OptionInfo languageOption()
{
    return {QStringLiteral("--lang"), QStringLiteral("en|pl"), QStringLiteral("language of the texts (default en)")};
}

uint8_t readLanguage(ArgumentReader &opts)
{
    return opts.choice(QStringLiteral("--lang"), {QStringLiteral("en"), QStringLiteral("pl")}, 0) == 0 ? 1 : 0;
}

int failWith(const QString &message)
{
    std::fprintf(stderr, "qv7xx-cli: %s\n", message.toLocal8Bit().constData());
    return 2;
}

} // namespace qv::cli
