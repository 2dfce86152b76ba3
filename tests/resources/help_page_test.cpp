// The help page and the popup test page, held against the resource script's labels and the
// report lines, so a renamed button or a new report line the manual does not explain shows up.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/web_addresses.h"
#include "tools/hijack_repair.h"
#include "tools/plugin_cleaner.h"
#include "tools/spyware_pass.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
std::string HelpPage() {
  return ReadText(std::string(SNAPGATE_HELP_DIR) + "/help.html");
}
std::string PopupTestPage() {
  return ReadText(std::string(SNAPGATE_HELP_DIR) + "/" + sg::kPopupTestPageFile);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A browser shows runs of white space as one blank.
std::string CollapseSpace(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const bool space = std::isspace(static_cast<unsigned char>(c)) != 0;
    if (space && (out.empty() || out.back() == ' ')) continue;
    out += space ? ' ' : c;
  }
  return out;
}

struct PageReading {
  std::string error;              // empty when well formed
  std::string visible_text;       // as a reader sees it
  std::vector<std::string> tags;  // what stands between "<" and ">"
};

// Every element that is opened is closed, in order; script and style hold no markup.
PageReading ReadPage(const std::string& html) {
  static const std::set<std::string> kVoidTags = {"meta", "br", "hr"};
  PageReading page;
  auto fail = [](std::string why) { return PageReading{std::move(why), {}, {}}; };
  std::vector<std::string> open;
  std::string text;
  for (std::size_t at = 0; at < html.size();) {
    if (html[at] != '<') {
      text += html[at++];
      continue;
    }
    const bool comment = html.compare(at, 4, "<!--") == 0;
    const auto end = comment ? html.find("-->", at) : html.find('>', at);
    if (end == std::string::npos) return fail("unclosed tag at " + std::to_string(at));
    const std::string inside = html.substr(at + 1, end - at - 1);
    at = end + (comment ? 3 : 1);
    text += ' ';
    if (inside.starts_with('!')) continue;
    page.tags.push_back(inside);
    const bool closing = inside.starts_with('/');
    const std::string name =
        Lower(inside.substr(closing, inside.find_first_of(" \t\r\n/", closing) - closing));
    if (kVoidTags.contains(name)) continue;
    if (closing) {
      if (open.empty() || open.back() != name)
        return fail("</" + name + "> closes the wrong element");
      open.pop_back();
      continue;
    }
    open.push_back(name);
    if (name == "script" || name == "style") at = Lower(html).find("</" + name, at);
  }
  if (!open.empty()) return fail("<" + open.back() + "> is never closed");
  for (const auto& [entity, value] : {std::pair{"&quot;", "\""}, {"&nbsp;", " "}, {"&amp;", "&"}}) {
    for (auto found = text.find(entity); found != std::string::npos;
         found = text.find(entity, found + 1))
      text.replace(found, std::string(entity).size(), value);
  }
  page.visible_text = CollapseSpace(text);
  return page;
}

// The labels of the lines starting with one of `keywords` in the resource script block that
// follows `header`, "&" removed.
std::vector<std::string> LabelsInBlock(const std::string& header, const std::string& keywords) {
  const std::string script = ReadText(SNAPGATE_RESOURCE_SCRIPT);
  std::istringstream lines(script.substr(script.find(header)));
  const std::regex labelled("^\\s*(" + keywords + ")\\s+\"([^\"]+)\"");
  std::vector<std::string> labels;
  int depth = 0;
  for (std::string line; std::getline(lines, line);) {
    const std::string word = std::regex_replace(line, std::regex("^\\s+|\\s+$"), "");
    if (word == "BEGIN") ++depth;
    if (word == "END" && --depth == 0) break;
    if (std::smatch match; std::regex_search(line, match, labelled)) {
      std::string label = match[2];
      std::erase(label, '&');
      labels.push_back(label);
    }
  }
  return labels;
}

TEST(HtmlChecker, RefusesCrossedAndUnclosedElements) {
  EXPECT_EQ(ReadPage("<p>One<br>two &amp; <b>three</b></p>").visible_text, "One two & three ");
  EXPECT_NE(ReadPage("<p><b>crossed</p></b>").error, "");
  EXPECT_NE(ReadPage("<div><p>left open</p>").error, "");
}

TEST(HelpPage, IsWellFormedWithoutScriptAndHasTheSectionsTheHelpButtonsOpen) {
  const std::string html = HelpPage();
  ASSERT_FALSE(html.empty()) << "help.html could not be read from " << SNAPGATE_HELP_DIR;
  EXPECT_EQ(ReadPage(html).error, "");
  EXPECT_EQ(Lower(html).find("<script"), std::string::npos);
  // The plug-in cleaner's and the cookie cutter's Help buttons open these anchors.
  EXPECT_NE(html.find("id=\"plugins\""), std::string::npos);
  EXPECT_NE(html.find("id=\"cookies\""), std::string::npos);
}

TEST(HelpPage, NamesEveryTrayCommandMainDialogButtonAndReportLine) {
  const auto tray = LabelsInBlock("IDR_TRAY_MENU MENU", "MENUITEM");
  const auto buttons = LabelsInBlock("IDD_MAIN DIALOGEX", "PUSHBUTTON|DEFPUSHBUTTON");
  // Counted, so that a reader that found nothing cannot pass.
  EXPECT_EQ(tray.size(), 9u);
  EXPECT_GE(buttons.size(), 12u);

  const std::string text = ReadPage(HelpPage()).visible_text;
  for (const auto& labels : {tray, buttons}) {
    for (const std::string& label : labels) EXPECT_NE(text.find(label), std::string::npos) << label;
  }
  for (const std::string prefix :
       {sg::tools::kSpywareKilledLine, sg::tools::kSpywareNotKilledLine,
        sg::tools::kUninstallAdviceLine, sg::tools::kPluginDisabledLine,
        sg::tools::kHijackerFixedLine, sg::tools::kResetFileFixedLine,
        sg::tools::kStyleSheetFixedLine, "Modeless popup blocked (id ",
        "Spyware popup blocked (id  ", "Redirected from spam web page: "}) {
    EXPECT_NE(text.find(CollapseSpace(prefix)), std::string::npos) << prefix;
  }
}

TEST(PopupTestPage, OpensPopupsEveryWayAndSaysWhatShouldHappen) {
  const std::string html = PopupTestPage();
  const PageReading page = ReadPage(html);
  ASSERT_EQ(page.error, "");
  bool opens_on_load = false, opens_on_click = false;
  for (const std::string& tag : page.tags) {
    opens_on_load |= tag.starts_with("body") && tag.find("onload=") != std::string::npos;
    opens_on_click |= tag.starts_with("a ") && tag.find("onclick=") != std::string::npos;
  }
  EXPECT_TRUE(opens_on_load);
  EXPECT_TRUE(opens_on_click);
  for (const char* call : {"window.open(", "window.setTimeout(", "showModelessDialog("})
    EXPECT_NE(html.find(call), std::string::npos) << call;
  EXPECT_NE(page.visible_text.find("What should happen:"), std::string::npos);
}

TEST(WebAddresses, AreAllMadeFromTheOneHost) {
  const std::string host = sg::kWebSiteHost;
  EXPECT_EQ(std::string(sg::kWebSite), "http://" + host + "/");
  EXPECT_EQ(std::string(sg::kProductPage), std::string(sg::kWebSite) + "snapgate.html");
  EXPECT_EQ(std::string(sg::kOnlineHelpPage), std::string(sg::kWebSite) + "help.html");
  // Mail goes to the domain, not to the web server.
  const std::string mail_domain = host.starts_with("www.") ? host.substr(4) : host;
  EXPECT_EQ(std::string(sg::kSupportEmail), "support@" + mail_domain);
}

}  // namespace
