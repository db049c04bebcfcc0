// The help pages against the catalogue of messages, the batch's lines and the
// size list: every text PLYX shows in a box is on the page of messages as PLYX
// writes it (a composed one with any text in place of each %s, %u or %lu), with
// its title where it is not the main window's; every line the batch shows is on
// the page on joining; every preset is in the page of sizes; the splitting page
// reports each way a split stops with the run's outcome of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "merge_batch.h"
#include "messages.h"
#include "size_presets.h"
#include "split_worker.h"

namespace {

std::string HelpPage(const char* name) {
  std::ifstream file(std::string(PLYX_HELP_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

struct ShownMessage {
  std::string text;   // without markup, entities decoded (a character beyond ASCII as ?)
  std::string after;  // the page up to the next message, where a title other than PLYX's is named
};

// The texts between `open` and `close` on the page.
std::vector<ShownMessage> MessagesOn(const std::string& page, const std::string& open = "<pre class=\"msg\">",
                                     const char* close = "</pre>") {
  std::vector<ShownMessage> shown;
  for (std::size_t at = page.find(open); at != std::string::npos; at = page.find(open, at)) {
    const std::size_t end = page.find(close, at);
    ShownMessage message;
    for (std::size_t i = at + open.size(); i < end; ++i) {
      if (page[i] == '<') {
        i = page.find('>', i);
      } else if (page[i] == '&') {
        const std::size_t semicolon = page.find(';', i);
        const std::string entity = page.substr(i + 1, semicolon - i - 1);
        message.text += entity == "amp" ? '&' : entity == "lt" ? '<' : entity == "gt" ? '>' : '?';
        i = semicolon;
      } else {
        message.text += page[i];
      }
    }
    at = end;
    message.after = page.substr(end, page.find(open, end) - end);
    shown.push_back(message);
  }
  return shown;
}

// The format as a pattern: itself, with any text for each %s, %u and %lu.
std::regex PatternOf(const std::string& format) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])"), directive(R"(%l?[su])");
  return std::regex(std::regex_replace(std::regex_replace(format, special, R"(\$&)"), directive, R"([\s\S]+)"));
}

TEST(HelpPages, NameEveryMessageWithItsTitleEveryLineOfTheBatchEveryPresetAndEveryOutcome) {
  const std::vector<ShownMessage> shown = MessagesOn(HelpPage("messages.html"));
  std::vector<std::pair<const char*, MessageCaption>> texts{{kUnknownRunFailure, MessageCaption::kTitle}};
  for (const Message& message : kMessages) texts.emplace_back(message.text, message.caption);
  for (const RunFailure& failure : kRunFailures) texts.emplace_back(failure.text, MessageCaption::kTitle);
  for (const auto& [text, caption] : texts) {
    const std::regex pattern = PatternOf(text);
    const auto on = std::find_if(shown.begin(), shown.end(),
                                 [&](const ShownMessage& m) { return std::regex_match(m.text, pattern); });
    if (on == shown.end()) {
      ADD_FAILURE() << "not on the page: " << text;
      continue;
    }
    const std::string title = caption == MessageCaption::kNone ? "none" : CaptionText(caption);
    EXPECT_EQ(caption == MessageCaption::kTitle, on->after.find("Title: ") == std::string::npos) << text;
    EXPECT_TRUE(caption == MessageCaption::kTitle || on->after.find("Title: " + title + ".") != std::string::npos)
        << text << " under the title " << title;
  }
  // The page on joining: every line the batch can show, a name and a part number in place of {N} and {P}.
  const std::vector<ShownMessage> joining = MessagesOn(HelpPage("merging.html"), "<code>", "</code>");
  std::vector<std::string> lines(std::begin(kBatchLines), std::end(kBatchLines));
  lines.push_back(kAppTitle);
  for (std::string line : lines) {
    for (std::size_t at; (at = line.find_first_of('{')) != std::string::npos;) line.replace(at, 3, "%s");
    const std::regex pattern = PatternOf(line);
    EXPECT_TRUE(std::any_of(joining.begin(), joining.end(),
                            [&](const ShownMessage& m) { return std::regex_match(m.text, pattern); }))
        << "not on the page on joining: " << line;
  }
  const std::string sizes = HelpPage("sizes.html"), splitting = HelpPage("splitting.html");
  for (const SizePreset& preset : SizePresets) {
    EXPECT_NE(sizes.find(std::string("<td>") + preset.text + "</td>"), std::string::npos) << preset.text;
  }
  // The splitting page's rows of status 4000: a prompt for another disk given up is the user's answer, a full
  // fixed disk an error.
  for (const auto& [way, givenUp] : {std::pair{"asked for another disk", true}, std::pair{"An error", false}}) {
    SplitJobRecord job;
    job.diskGivenUp = givenUp;
    const bool byUser = OutcomeOf(job, kStatusNoRoom) == SplitOutcome::kStoppedByUser;
    const char* text = MessageOf(byUser ? MessageId::kSplitStopped : MessageId::kSplitFailed).text;
    const std::size_t at = splitting.find(way);
    EXPECT_LT(splitting.find(text, at), splitting.find("</tr>", at)) << way << ": not reported with " << text;
  }
}

}  // namespace
