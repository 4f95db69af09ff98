// Session scripts: words and quoted texts, checked against the table of actions and expectations.
#include "Script.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <map>

namespace workbench {

namespace {

/// Argument forms: C control ID, S text, N whole number, Y yes|no, A up|down,
/// K key; a final '*' repeats the form before it (zero or more), '?' makes it optional.
const std::map<std::string, std::string> kActions = {
    {"click", "C"},        {"choose", "CS"},          {"type", "S"},
    {"paste", "S"},        {"key", "K"},              {"drag", "CNN*"},
    {"hold", "CAN"},       {"suspend", ""},           {"resume", ""},
    {"snapshot", "SS?"},   {"save-settings", "S"},    {"load-settings", "S"},
    {"preset", "S"},       {"save-preset", "S"},
};

const std::map<std::string, std::string> kExpectations = {
    {"registry", "SS"},  {"value", "CN"},      {"text", "CS"},
    {"visible", "CY"},   {"active", "CY"},     {"menu", "CN*"},
    {"beep", "N?"},      {"no-beep", ""},      {"alert", "S"},
    {"no-alert", ""},    {"snapshot", "S"},    {"refused-preset", "SS"},
    {"refused", "SS"},
};

const char* const kKeys[] = {"backspace", "escape", "tab", "return", "enter", "left", "right"};

std::vector<std::string> Words(const std::string& line, std::string* error) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(static_cast<unsigned char>(line[i]))) { ++i; continue; }
    if (line[i] == '#') break;
    std::string word;
    if (line[i] != '"') {
      while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) word += line[i++];
      words.push_back(word);
      continue;
    }
    for (++i; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      word += line[i];
    }
    if (i >= line.size()) {
      *error = "the quoted text is not closed";
      return {};
    }
    ++i;
    words.push_back(word);
  }
  return words;
}

bool IsNumber(const std::string& word) {
  size_t start = word.size() > 1 && (word[0] == '-' || word[0] == '+') ? 1 : 0;
  return start < word.size() && word.find_first_not_of("0123456789", start) == std::string::npos;
}

bool IsControl(const std::string& word) {
  return word.size() > 5 && word[4] == ':' && IsNumber(word.substr(5));
}

/// Checks one argument against its form; "" when it fits.
std::string CheckForm(char form, const std::string& word) {
  switch (form) {
    case 'C': return IsControl(word) ? "" : "'" + word + "' is no control ID (SIGN:number, e.g. MONO:3)";
    case 'N': return IsNumber(word) ? "" : "'" + word + "' is no whole number";
    case 'Y': return word == "yes" || word == "no" ? "" : "'" + word + "' is neither yes nor no";
    case 'A': return word == "up" || word == "down" ? "" : "'" + word + "' is neither up nor down";
    case 'K':
      for (const char* key : kKeys)
        if (word == key) return "";
      return "unknown key '" + word + "' (backspace, escape, tab, return, enter, left, right)";
    default: return "";
  }
}

/// Checks the arguments against a form string; "" when they fit.
std::string CheckArgs(const std::string& forms, const std::vector<std::string>& args) {
  size_t at = 0;
  for (size_t f = 0; f < forms.size(); ++f) {
    const char form = forms[f];
    const char mark = f + 1 < forms.size() ? forms[f + 1] : 0;
    if (mark == '*' || mark == '?') ++f;
    else if (at >= args.size()) return "too few arguments";
    const size_t last = mark == '*' ? args.size() : std::min(args.size(), at + 1);
    for (; at < last; ++at) {
      const std::string why = CheckForm(form, args[at]);
      if (!why.empty()) return why;
    }
  }
  return at < args.size() ? "too many arguments (from '" + args[at] + "' on)" : "";
}

Command ParseLine(const std::string& text, int line, std::string* error) {
  Command command;
  command.line = line;
  const size_t first = text.find_first_not_of(" \t\r");
  command.text = first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
  std::vector<std::string> words = Words(text, error);
  if (!error->empty() || words.empty()) return command;
  command.verb = words[0];
  size_t firstArg = 1;
  const std::map<std::string, std::string>* table = &kActions;
  if (command.verb == "expect") {
    if (words.size() < 2) return *error = "expect what? (registry, value, text, visible, ...)", command;
    command.kind = words[1];
    firstArg = 2;
    table = &kExpectations;
  }
  const auto found = table->find(command.verb == "expect" ? command.kind : command.verb);
  if (found == table->end()) {
    *error = command.verb == "expect" ? "unknown expectation '" + command.kind + "'"
                                      : "unknown action '" + command.verb + "'";
    return command;
  }
  command.args.assign(words.begin() + long(firstArg), words.end());
  *error = CheckArgs(found->second, command.args);
  return command;
}

}  // namespace

std::vector<Command> ParseScript(std::istream& in, const std::string& name) {
  std::vector<Command> commands;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    std::string error;
    Command command = ParseLine(text, line, &error);
    if (!error.empty())
      throw ScriptError(name + ":" + std::to_string(line) + ": " + error + "\n  " + command.text);
    if (!command.verb.empty()) commands.push_back(std::move(command));
  }
  return commands;
}

}  // namespace workbench
