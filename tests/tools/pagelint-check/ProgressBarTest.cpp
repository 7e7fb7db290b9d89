#include "pagelint-check/ProgressBar.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <ostream>
#include <string>

namespace {

/// A pipe whose read end is drained by Take.
class Pipe {
public:
  Pipe() { EXPECT_EQ(pipe2(m_fds, O_NONBLOCK), 0); }
  ~Pipe() {
    close(m_fds[0]);
    close(m_fds[1]);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  int WriteEnd() const { return m_fds[1]; }
  std::string Take() const {
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(m_fds[0], buffer, sizeof buffer)) > 0;) {
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

private:
  int m_fds[2] = {-1, -1};
};

struct RenderCase {
  std::string label;
  int done;
  int total;
  int width;
  std::string expected;
};

void PrintTo(const RenderCase& c, std::ostream* os) {
  *os << c.done << " of " << c.total << " in " << c.width << " columns";
}

class ProgressBarRender : public testing::TestWithParam<RenderCase> {};

TEST_P(ProgressBarRender, FitsTheWidth) {
  const RenderCase& c = GetParam();
  const std::string line = CProgressBar::Render(c.label, c.done, c.total, c.width);
  EXPECT_EQ(line, c.expected);
  EXPECT_LT(static_cast<int>(line.size()), c.width);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgressBarRender,
    testing::Values(
        RenderCase{"site", 5, 10, 40, "site [########--------] 5/10"},
        RenderCase{"site", 0, 0, 40, "site [#################] 0/0"},
        RenderCase{"site", 12, 10, 40, "site [################] 10/10"},
        RenderCase{"site", -4, 10, 40, "site [----------------] 0/10"},
        RenderCase{"a very long label indeed", 1, 4, 30, "a very lon [###---------] 1/4"},
        // Too narrow for a bar: the count alone.
        RenderCase{"site", 1, 4, 10, "site 1/4"},
        // Control characters do not reach the terminal; a cut never splits a character.
        RenderCase{"\xC3\xA9\x1b", 1, 4, 40, "\xC3\xA9? [####-------------] 1/4"},
        RenderCase{"a\xE2\x80\xAE\xC2\x9B\xFF"
                   "b",
                   1, 4, 40, "a???b [####-------------] 1/4"},
        RenderCase{"\xC3\xA9\xC3\xA9\xC3\xA9", 1, 4, 21, "\xC3\xA9\xC3\xA9 [##------] 1/4"}));

TEST(ProgressBar, DrawsNothingWhenDisabledOrNotATerminal) {
  Pipe pipe;
  {
    CProgressBar notTerminal(pipe.WriteEnd());
    EXPECT_FALSE(notTerminal.IsEnabled());
    notTerminal.Update("site", 1, 2);
    notTerminal.Clear();
    CProgressBar disabled(pipe.WriteEnd(), false, 80);
    disabled.Update("site", 2, 2);
  }
  EXPECT_EQ(pipe.Take(), "");
}

TEST(ProgressBar, RedrawsInPlaceAndClearsTheLine) {
  Pipe pipe;
  {
    CProgressBar bar(pipe.WriteEnd(), true, 30);
    bar.Update("s", 0, 2);
    bar.Update("s", 1, 2);
    // The last state is always drawn, however soon it comes.
    bar.Update("s", 2, 2);
  }
  const std::string drawn = pipe.Take();
  const std::string first = "\r" + CProgressBar::Render("s", 0, 2, 30) + "\x1b[K";
  const std::string last = "\r" + CProgressBar::Render("s", 2, 2, 30) + "\x1b[K" + "\r\x1b[K";
  EXPECT_TRUE(drawn.starts_with(first)) << drawn;
  EXPECT_TRUE(drawn.ends_with(last)) << drawn;
}

} // namespace
