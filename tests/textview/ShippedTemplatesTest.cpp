// The syntax templates shipped with the program: each loads without a skipped rule and colours
// a sample of its language (a keyword, a comment, a string and a bracket pair).
#include "tests/textview/SyntaxTestUtil.h"
#include "textview/SyntaxState.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

std::string ReadStf(const char* name) {
    std::string s;
    std::string path = std::string(QV_STF_SOURCE_DIR) + "/" + name;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            s.append(buf, n);
        std::fclose(f);
    }
    return s;
}

struct Sample {
    const char* file;
    const char* text;
    const char *keyword, *comment, *string, *open, *close;
};

const Sample kSamples[] = {
    {"CPP.STF", "if (x) { puts(\"a\\\"b\"); } // note", "if", "// note", "\"a\\\"b\"", "(", ")"},
    {"CSHARP.STF", "foreach (var x in xs) { s = \"q\\\"z\"; } /* c */", "foreach", "/* c */",
     "\"q\\\"z\"", "{", "}"},
    {"JAVA.STF", "public static void main(String[] a) { x = \"s\"; } // c", "public", "// c",
     "\"s\"", "[", "]"},
    {"JS.STF", "function f(a) { return 'x' + a; } // c", "function", "// c", "'x'", "(", ")"},
    {"PYTHON.STF", "def f(a): return \"s\" + a  # c", "def", "# c", "\"s\"", "(", ")"},
    {"HTML.STF", "<div class=\"x\"><!-- c --></div>", "div", "<!-- c -->", "\"x\"", "<", ">"},
    {"XML.STF", "<?xml version=\"1.0\"?><a><!-- c --></a>", "version", "<!-- c -->", "\"1.0\"", "<",
     ">"},
    {"CSS.STF", "body { color: red; /* c */ content: \"s\"; }", "color", "/* c */", "\"s\"", "{",
     "}"},
    {"SQL.STF", "SELECT count(*) FROM t WHERE a = 'x' -- c", "FROM", "-- c", "'x'", "(", ")"},
    {"PASCAL.STF", "begin WriteLn('hi'); { c } end;", "begin", "{ c }", "'hi'", "(", ")"},
    {"PERL.STF", "my $s = \"a\\\"b\"; print(join(',', @a)); # c", "my", "# c", "\"a\\\"b\"", "(",
     ")"},
    {"PHP.STF", "<?php echo \"x\"; if ($a) { } // c", "echo", "// c", "\"x\"", "{", "}"},
    {"BATCH.STF", "if exist \"a b.txt\" (echo yes) :: c", "echo", ":: c", "\"a b.txt\"", "(", ")"},
    {"SHELL.STF", "if [ -f \"$f\" ]; then echo 'x'; fi # c", "then", "# c", "\"$f\"", "[", "]"},
    {"INI.STF", "[main] enabled = \"v\" ; c", "enabled", "; c", "\"v\"", "[", "]"},
    {"MAKEFILE.STF", "ifeq (a,b) $(info \"x\") # c", "ifeq", "# c", "\"x\"", "(", ")"},
};

class ShippedTemplate : public testing::TestWithParam<Sample> {};

TEST_P(ShippedTemplate, LoadsWholeWithCrLfLines) {
    const Sample& s = GetParam();
    std::string data = ReadStf(s.file);
    ASSERT_FALSE(data.empty()) << s.file;
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\n') {
            ASSERT_TRUE(i > 0 && data[i - 1] == '\r') << "a lone LF at byte " << i;
        }
        if (data[i] == '\r') {
            ASSERT_TRUE(i + 1 < data.size() && data[i + 1] == '\n') << "a lone CR at byte " << i;
        }
    }
    SyntaxTemplate t;
    t.SetText(data.data(), data.size());
    std::string title, ext, delims;
    ASSERT_TRUE(t.GetValue("Title", title));
    ASSERT_TRUE(t.GetValue("Extensions", ext));
    ASSERT_TRUE(t.GetValue("Delimiters", delims));
    EXPECT_FALSE(title.empty() || ext.empty() || delims.empty());
    SyntaxInfo info;
    info.Load(t);
    EXPECT_TRUE(info.HasSyntax());
    // Every rule that the template names was read.
    static const char* const kKeys[SynRuleCount] = {"QuotedString", "QuotedString2",
                                                    "LineComment",  "LineComment2",
                                                    "BlockComment", "BlockComment2"};
    std::string v;
    for (int r = 0; r < SynRuleCount; ++r)
        EXPECT_EQ(t.GetValue(kKeys[r], v), info.Rule(r) != nullptr) << kKeys[r];
    ASSERT_TRUE(t.GetValue("BraceStrings", v));
    int pairs = 0, listed = 0;
    for (const SyntaxPair* b = info.Brackets(); b; b = b->next)
        ++pairs;
    for (size_t at = v.find("{on="); at != std::string::npos; at = v.find("{on=", at + 1))
        ++listed;
    EXPECT_EQ(listed, pairs);
    // Every line is a comment, a section line, a key line, a group header or a keyword.
    int headers = 0;
    for (const StfLine& l : t.Lines())
        headers += l.len > 10 && std::strncmp(l.text, "[#Keyword:", 10) == 0;
    std::vector<StfGroup> groups = t.Groups();
    EXPECT_EQ(headers, static_cast<int>(groups.size()));
    EXPECT_EQ(static_cast<int>(groups.size()), info.GroupCount());
    int keywords = 0;
    for (const StfGroup& g : groups)
        t.ForEachKeyword(g, [&](const char*, int) { ++keywords; });
    EXPECT_GE(keywords, info.Keywords().Count());
    EXPECT_GT(info.Keywords().Count(), 5);
}

TEST_P(ShippedTemplate, ColoursASample) {
    const Sample& s = GetParam();
    std::string data = ReadStf(s.file);
    SyntaxTemplate t;
    t.SetText(data.data(), data.size());
    SyntaxInfo info;
    info.Load(t);
    std::string delims;
    t.GetValue("Delimiters", delims);
    info.SetDelimiters(delims.data(), static_cast<int>(delims.size()));
    std::string text = s.text;
    std::string map = ColourMap(info, text);
    auto colours = [&](const char* part) {
        size_t at = text.find(part);
        EXPECT_NE(std::string::npos, at) << part;
        return at == std::string::npos ? std::string() : map.substr(at, std::strlen(part));
    };
    std::string kw = colours(s.keyword);
    EXPECT_TRUE(!kw.empty() && kw.find_first_not_of("0123456789") == std::string::npos)
        << s.file << " " << text << "\n"
        << map;
    std::string cm = colours(s.comment);
    EXPECT_EQ(std::string::npos, cm.find_first_not_of("lLbC")) << s.file << "\n" << map;
    std::string st = colours(s.string);
    EXPECT_EQ(std::string::npos, st.find_first_not_of("sS")) << s.file << "\n" << map;
    bool found = false;
    for (const SyntaxPair* b = info.Brackets(); b; b = b->next)
        found = found || (std::strcmp(b->start, s.open) == 0 && std::strcmp(b->end, s.close) == 0);
    EXPECT_TRUE(found) << s.file;
    size_t open = text.find(s.open), close = text.find(s.close, open + 1);
    ASSERT_NE(std::string::npos, close);
    Records r({text});
    int32_t mark = -1;
    EXPECT_FALSE(
        IsInCommentOrString(info, r.recs.data(), 1, -1, mark, 0, static_cast<int32_t>(open)));
    EXPECT_FALSE(
        IsInCommentOrString(info, r.recs.data(), 1, -1, mark, 0, static_cast<int32_t>(close)));
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedTemplate, testing::ValuesIn(kSamples),
                         [](const testing::TestParamInfo<Sample>& p) {
                             std::string n = p.param.file;
                             return n.substr(0, n.find('.'));
                         });

} // namespace
