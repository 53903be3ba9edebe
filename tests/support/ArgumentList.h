// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace km740::test {

// A program and its arguments as exec and posix_spawn take them.
class ArgumentList {
public:
    ArgumentList(const std::string& program, const std::vector<std::string>& args) : words_{program}
    {
        words_.insert(words_.end(), args.begin(), args.end());
        for (auto& w : words_)
            pointers_.push_back(w.data());
        pointers_.push_back(nullptr);
    }
    ArgumentList(const ArgumentList&) = delete;
    ArgumentList& operator=(const ArgumentList&) = delete;

    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

} // namespace km740::test
