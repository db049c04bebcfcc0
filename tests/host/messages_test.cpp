// The help pages name every text of a box (with its title where not PLYX's), every line the
// batch shows, every preset, and each way a split stops with the run's outcome of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "merge_batch.h"
#include "messages.h"
#include "size_presets.h"
#include "split_worker.h"
#include "support/files.h"

namespace {

std::string HelpPage(const char* name) { return ReadBytes(std::string(PLYX_HELP_DIR) + "/" + name); }

struct ShownMessage {
  std::string text;   // without markup, entities decoded (a character beyond ASCII as ?)
  std::string after;  // the page up to the next message, where a title other than PLYX's is named
};

std::vector<ShownMessage> MessagesOn(const std::string& page, const std::string& open = "<pre class=\"msg\">",
                                     const char* close = "</pre>") {
  static const std::regex markup("<[^>]*>"), otherEntity("&(?!(amp|lt|gt);)[^;]*;");
  std::vector<ShownMessage> shown;
  for (std::size_t at = page.find(open), end = 0; at != std::string::npos; at = page.find(open, end)) {
    end = page.find(close, at);
    std::string text = page.substr(at + open.size(), end - at - open.size());
    text = std::regex_replace(std::regex_replace(text, markup, ""), otherEntity, "?");
    for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
      text = std::regex_replace(text, std::regex(entity), character);
    shown.push_back({text, page.substr(end, page.find(open, end) - end)});
  }
  return shown;
}

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
  // The splitting page's rows of status 4000: another disk given up is the user's answer, a full one an error.
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
