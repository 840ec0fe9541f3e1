// Recorded sessions with the simulated meter. Each file of sessions/ holds
// commands and, indented under each, what came back: every frame decoded field
// by field, the receiver's events and, after "state", the meter's own state.
// Commands: "meter [cells=N] [probe=N] [K700] [luminance] [noprobe] [module]
// [off] [startseries]" starts a new meter; "press KEYS", "type DIGITS", "wait
// MS", "rate BPS" (the program's line), "lamp IRRADIANCE/LUMINANCE",
// "probefault", "clearlast". The test replays the commands and compares the
// whole text; QV_UPDATE_GOLDEN=1 writes the answers anew (read the difference
// before committing it).
#include "SimHarness.h"
#include "support/GoldenText.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

using namespace qvsim;
using simtest::Frame;
using simtest::SimMeter;

namespace {

std::string hex(const Bytes &b, size_t from, size_t to)
{
    std::string out;
    char byte[3];
    for (size_t i = from; i < to; ++i) {
        std::snprintf(byte, sizeof byte, "%02x", b[i]);
        out += byte;
    }
    return out;
}

char shown(uint8_t key) { return key >= ' ' && key < 127 ? char(key) : '.'; }

// Type, keys, screen and status word, the rest of the status block in hex,
// then the frame's own block: a value or a text readable, the rest in hex.
std::string describe(const Frame &f)
{
    if (!f.hasStatus())
        return std::string("marker ") + char(f.type());
    std::ostringstream s;
    char head[40];
    std::snprintf(head, sizeof head, "%02x %c%c scr=%u st=%04x ", f.type(), shown(f.key1()),
                  shown(f.key2()), f.screen(), f.status());
    s << head << hex(f.b, 7, 26);
    const size_t end = f.b.size() - 2;
    if (f.type() == FrameMeasurement || f.type() == FrameRecordView || f.type() == FramePreview)
        s << " v=" << f.value() << ' ' << hex(f.b, 30, end);
    else if (f.type() == FrameText)
        s << " '" << f.text() << "' " << hex(f.b, 42, end);
    else if (end > 26)
        s << ' ' << hex(f.b, 26, end);
    return s.str();
}

std::string state(const MeterEngine &e)
{
    std::ostringstream s;
    s << "state screen=" << e.screen() << " on=" << e.isOn() << " running=" << e.running()
      << " continuous=" << e.continuousMode() << " cells=" << e.memory().count() << " range=" << e.range()
      << " integrated=" << e.integrator().seconds() << "s reference=" << e.reference()
      << " calibration=" << e.calibration() << " clock=" << dateText(e.clock()) << ' ' << timeText(e.clock())
      << " editor='" << e.editor().text() << "'";
    if (!e.memory().empty()) {
        const Cell &last = e.memory().cell(e.memory().count() - 1);
        s << "\n    last cell " << hex(Bytes(last.begin(), last.end()), 0, last.size());
    }
    return s.str();
}

MeterConfig config(std::istringstream &words)
{
    MeterConfig c;
    for (std::string w; words >> w;) {
        const size_t eq = w.find('=');
        const int n = eq == std::string::npos ? 0 : std::stoi(w.substr(eq + 1));
        const std::string name = w.substr(0, eq);
        if (name == "cells")
            c.cells = n;
        else if (name == "probe")
            c.probeCode = n;
        else if (name == "K700")
            c.model = Model::K700;
        else if (name == "luminance")
            c.luminance = true;
        else if (name == "noprobe")
            c.noProbe = true;
        else if (name == "module")
            c.externalMemory = true;
        else if (name == "off")
            c.off = true;
        else if (name == "startseries")
            c.startSeries = true;
        else
            ADD_FAILURE() << "unknown meter option " << w;
    }
    return c;
}

// Replays the commands of `script`; returns them with their answers.
std::string replay(const std::string &script)
{
    std::unique_ptr<SimMeter> m = std::make_unique<SimMeter>();
    std::istringstream lines(script);
    std::string out;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == ' ')
            continue;  // an answer recorded earlier
        out += line + '\n';
        std::istringstream words(line);
        std::string command, arg;
        words >> command;
        std::vector<Frame> got;
        const size_t events = m->rules.events.size();
        if (command == "meter")
            m = std::make_unique<SimMeter>(config(words));
        else if (command == "press" && words >> arg)
            got = m->press(arg);
        else if (command == "type" && words >> arg)
            got = m->press(simtest::digitKeys(arg));
        else if (command == "wait" && words >> arg)
            got = m->wait(uint32_t(std::stoul(arg)));
        else if (command == "rate" && words >> arg)
            m->engine.setProgramRate(uint32_t(std::stoul(arg)));
        else if (command == "lamp" && words >> arg)
            m->engine.setLampLevel(std::stod(arg), std::stod(arg.substr(arg.find('/') + 1)));
        else if (command == "clearlast")
            m->engine.memory().clearLast();
        else if (command == "probefault")
            m->engine.setProbeFault(true);
        else if (command == "state")
            out += "    " + state(m->engine) + '\n';
        else if (!command.empty() && command[0] != '#')
            ADD_FAILURE() << "unknown command: " << line;
        for (const Frame &f : got)
            out += "    " + describe(f) + '\n';
        if (command == "press" && got.size() && got.back().type() == FrameIdentification)
            for (size_t at = 2; at + 63 < m->memoryBlock.size(); at += 63)
                out += "    cell " + hex(m->memoryBlock, at, at + 63) + '\n';
        if (m->rules.events.size() > events) {
            out += "    events";
            for (size_t i = events; i < m->rules.events.size(); ++i)
                out += ' ' + m->rules.events[i];
            out += '\n';
        }
    }
    return out;
}

class SimSession : public ::testing::TestWithParam<const char *> {};

} // namespace

TEST_P(SimSession, AnswersAsRecorded)
{
    const QString relative = QString("../sim/sessions/%1.txt").arg(GetParam());
    QFile file(QStringLiteral(QV_TEST_DATA_DIR "/") + relative);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
    const std::string replayed = replay(file.readAll().toStdString());
    qvtest::expectGoldenText(relative, QString::fromStdString(replayed));
}

INSTANTIATE_TEST_SUITE_P(Sessions, SimSession,
                         ::testing::Values("measure", "memory", "menus", "power", "settings"),
                         [](const auto &info) { return std::string(info.param); });
