#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>

#include "link/commands.h"
#include "link/link.h"
#include "link/pacer.h"
#include "support/scripted_port.h"
#include "support/virtual_link.h"

namespace sequaflow::testing_support {

// A controller with the four stores, enough to answer the configuration reads and take the writes.
// `silent` lists requests (code, first argument) that get no answer; `silentOnce` answers only the retry.
struct FakeEcu {
    std::array<std::uint16_t, 64> params{};
    std::array<std::uint16_t, 17> points{};
    std::array<std::uint8_t, 84> grid{};
    std::array<std::uint8_t, 12> standard{};
    std::array<std::uint16_t, 64> record{};
    std::uint8_t hardware = 0x43, software = 37;
    std::set<std::pair<std::uint8_t, std::uint8_t>> silent;
    std::set<std::pair<std::uint8_t, std::uint8_t>> silentOnce;
    // A reply whose echo names another index (to check that it is ignored).
    std::set<std::uint8_t> wrongEcho;

    void attach(ScriptedPort& port) {
        port.setResponder([this](ScriptedPort& p, const link::Frame& f) { respond(p, f); });
    }

    void respond(ScriptedPort& port, const link::Frame& f) {
        const auto key = std::make_pair(f[0], f[1]);
        if (silent.count(key)) return;
        if (silentOnce.erase(key)) return;
        const std::uint8_t a = f[1];
        const auto value = static_cast<std::uint16_t>(f[2] << 8 | f[3]);
        namespace code = link::code;
        switch (f[0]) {
            case code::Identify: port.deliver({'I', hardware, software, static_cast<std::uint8_t>('I' + hardware + software), ':'}); break;
            case code::ParamRead:
                if (a < 64) port.deliver(WordReply('d', wrongEcho.count(a) ? static_cast<std::uint8_t>(a + 1) : a, params[a]));
                break;
            case code::PointRead:
                if (a < 17) port.deliver(WordReply('d', a, points[a]));
                break;
            case code::GridCellRead:
                if (a < 12 && f[2] < 7) port.deliver(WordReply('d', a, grid[7u * a + f[2]]));
                break;
            case code::StdMapRead:
                if (a < 12) port.deliver(WordReply('d', a, standard[a]));
                break;
            case code::RecordWordRead:
                if (a < 64) port.deliver(WordReply('e', a, record[a]));
                break;
            case code::ParamSet:
                if (a < 64) params[a] = value;
                break;
            case code::PointSet:
                if (a < 17) points[a] = value;
                break;
            case code::GridCellSet:
                if (a < 12 && f[2] < 7) grid[7u * a + f[2]] = f[3];
                break;
            case code::StdMapSet:
                if (a < 12) standard[a] = f[3];
                break;
            case code::RecordWordStore:
                if (a < 64) record[a] = value;
                break;
            default: break;
        }
    }
};

}  // namespace sequaflow::testing_support
