#include "platform/foundation/XmlDocument.h"

#include "support/TempDir.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using platform::XmlDocument;
using platform::XmlElement;

namespace {

std::vector<std::string> names(const std::vector<const XmlElement*>& elements) {
    std::vector<std::string> result;
    for (const XmlElement* element : elements) {
        result.push_back(element->name());
    }
    return result;
}

std::string nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "<d>";
    }
    text += "x";
    for (int i = 0; i < depth; ++i) {
        text += "</d>";
    }
    return text;
}

} // namespace

TEST(XmlParseTest, LooksUpElementsAttributesAndText) {
    const auto doc = XmlDocument::parse(R"(<?xml version="1.0" encoding="utf-8"?>
<tovrin data-struct-version="1.5" xml:space="preserve" xmlns:svg="http://www.w3.org/2000/svg">
  <pages>
    <page a-page="10"/>
    <other/>
    <page a-page="12"/>
  </pages>
  <svg:path d="M0,0"/>
  <title>Intro <b>A</b> part</title>
  <empty></empty>
</tovrin>)");
    ASSERT_TRUE(doc);
    const XmlElement& root = doc->rootElement();
    EXPECT_EQ(root.name(), "tovrin");
    EXPECT_EQ(root.attribute("data-struct-version"), "1.5");
    EXPECT_EQ(root.attribute("xml:space"), "preserve");
    EXPECT_EQ(root.attribute("missing"), std::nullopt);
    EXPECT_EQ(names(root.childElements()), (std::vector<std::string>{"pages", "svg:path", "title", "empty"}));

    const XmlElement* pages = root.firstChild("pages");
    ASSERT_NE(pages, nullptr);
    const auto pageList = pages->children("page");
    ASSERT_EQ(pageList.size(), 2u);
    EXPECT_EQ(pageList[0]->attribute("a-page"), "10");
    EXPECT_EQ(pageList[1]->attribute("a-page"), "12");
    EXPECT_EQ(pages->firstChild("page"), pageList[0]);
    EXPECT_EQ(pages->firstChild("none"), nullptr);
    // The indentation between child elements is not content.
    EXPECT_EQ(pages->stringValue(), "");

    // Names keep their prefix: the local name alone does not match.
    EXPECT_NE(root.firstChild("svg:path"), nullptr);
    EXPECT_EQ(root.firstChild("path"), nullptr);

    EXPECT_EQ(root.firstChild("title")->stringValue(), "Intro A part");
    EXPECT_EQ(root.firstChild("empty")->stringValue(), "");
}

TEST(XmlParseTest, KeepsTextAsWritten) {
    const auto doc =
        XmlDocument::parse("<r><t>  two  spaces  </t><blank>   </blank><amp>a &amp; b &lt;c&gt; &#233;</amp>"
                           "<cdata><![CDATA[<not markup>]]></cdata><line>a\r\nb</line></r>");
    ASSERT_TRUE(doc);
    const XmlElement& root = doc->rootElement();
    EXPECT_EQ(root.firstChild("t")->stringValue(), "  two  spaces  ");
    EXPECT_EQ(root.firstChild("blank")->stringValue(), "   ");
    EXPECT_EQ(root.firstChild("amp")->stringValue(), "a & b <c> \xC3\xA9");
    EXPECT_EQ(root.firstChild("cdata")->stringValue(), "<not markup>");
    EXPECT_EQ(root.firstChild("line")->stringValue(), "a\nb");
}

TEST(XmlParseTest, NamesWithAnUndeclaredPrefixAreKeptAsWritten) {
    const auto doc = XmlDocument::parse("<svg><svg:path d='1'/><path d='2'/></svg>");
    ASSERT_TRUE(doc);
    EXPECT_EQ(names(doc->rootElement().childElements()), (std::vector<std::string>{"svg:path", "path"}));
    EXPECT_EQ(doc->rootElement().firstChild("path")->attribute("d"), "2");
}

// A namespace declaration is kept as an attribute; its value reads like any other, ampersands included.
TEST(XmlParseTest, NamespaceDeclarationsReadLikeOtherAttributes) {
    struct Case {
        const char* written;
        const char* value;
    };
    const Case cases[] = {
        {"http://a.example/?x=1&amp;y=2", "http://a.example/?x=1&y=2"},
        {"a&#38;b&#x26;c", "a&b&c"},
        {"&amp;#38; literal", "&#38; literal"},
        {"&lt;&gt;&quot;", "<>\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        const std::string value = c.written;
        const auto doc =
            XmlDocument::parse("<r xmlns=\"" + value + "\" xmlns:n=\"" + value + "\" v=\"" + value + "\"/>");
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->rootElement().attribute("v"), c.value);
        EXPECT_EQ(doc->rootElement().attribute("xmlns"), c.value);
        EXPECT_EQ(doc->rootElement().attribute("xmlns:n"), c.value);
        const auto back = XmlDocument::parse(doc->xmlString());
        ASSERT_TRUE(back);
        EXPECT_EQ(back->xmlString(), doc->xmlString());
    }
}

TEST(XmlParseTest, ReadsOtherEncodingsAsUtf8) {
    const auto doc =
        XmlDocument::parse(std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xE9</a>"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->rootElement().stringValue(), "caf\xC3\xA9");
}

TEST(XmlParseTest, RepairsMalformedMarkupAndRefusesWhatHasNoRoot) {
    struct Case {
        const char* input;
        bool parses;
    };
    const Case cases[] = {
        {"<a><b>text</a>", true},           // unclosed child
        {"<a>fish & chips</a>", true},      // bare ampersand
        {"<a x=1><b/></a>", false},         // unquoted attribute: the parser gives up on the rest
        {"<a><b></b>", true},               // unclosed root
        {"<a x='1' x='2'/>", true},         // repeated attribute
        {"", false},                        // nothing
        {"just text", false},               // no element at all
        {"<?xml version='1.0'?>", false},   // declaration only
        {"<!-- a comment only -->", false}, // no element
        {"\xFF\xFE\x00<\x00", false},       // broken UTF-16
        {"<a><\xDA\xDA/></a>", false},      // a name of raw bytes that are no UTF-8
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(XmlDocument::parse(std::string_view(c.input)).has_value(), c.parses);
    }
    // A repeated attribute keeps its first value, in a narrow element as in a wide one.
    std::string wide = "<a x='1'";
    for (int i = 0; i < 20; ++i) {
        wide += " y" + std::to_string(i) + "=''";
    }
    wide += " x='2'/>";
    for (const std::string& input : {std::string("<a x='1' x='2'/>"), wide}) {
        const auto repeated = XmlDocument::parse(input);
        ASSERT_TRUE(repeated);
        const auto& attributes = repeated->rootElement().attributes();
        EXPECT_EQ(attributes.size(), input == wide ? 21u : 1u);
        EXPECT_EQ(repeated->rootElement().attribute("x"), "1");
    }
}

TEST(XmlParseTest, RefusesDocumentsTheParserStopsReadingEarly) {
    using namespace std::string_literals;
    struct Case {
        std::string input;
        bool parses;
    };
    const Case cases[] = {
        // A file padded with NUL blocks after a crash must not load short.
        {"<song><page/><page/>\0<page/><page/></song>"s, false},
        {"<song><page/><page/></song>\0\0\0\0"s, false},
        {"\xFF\xFE<\0a\0>\0<\0b\0/\0>\0\0\0<\0b\0/\0>\0<\0/\0a\0>\0"s, false}, // the same in UTF-16
        {"<a/><b/>", false},                                                   // a second root
        {"<a/>junk", false},
        {"<a><b/>", true}, // closing tags missing at the end are supplied
        {"<a/>\n<!-- saved -->\n<?done?>\n", true},
        {"\xFF\xFE<\0a\0>\0<\0b\0/\0>\0<\0/\0a\0>\0"s, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.input));
        EXPECT_EQ(XmlDocument::parse(c.input).has_value(), c.parses);
    }
}

// Prints nothing on stderr, whatever the document.
TEST(XmlParseTest, ErrorsAreNeverPrinted) {
    TempDir dir;
    const auto log = dir / "stderr.txt";
    const int saved = ::dup(STDERR_FILENO);
    FILE* sink = std::fopen(log.c_str(), "w");
    ASSERT_NE(sink, nullptr);
    ::dup2(::fileno(sink), STDERR_FILENO);
    const std::string inputs[] = {
        "<?xml version='1.0' encoding='windows-1252'?><a>\x81\x8D\x8F</a>",
        "<?xml version='1.0' encoding='utf-16'?><a/>",
        "<?xml version='1.0' encoding='no-such-encoding'?><a/>",
        std::string("\xFE\xFF\xD8\x00\x00<", 6),
        "<a>\xC3\x28</a>",
    };
    // A thread of its own as well, since libxml2 keeps its error handler per thread.
    std::thread([&] {
        for (const std::string& input : inputs) {
            (void)XmlDocument::parse(input);
        }
    }).join();
    for (const std::string& input : inputs) {
        (void)XmlDocument::parse(input);
    }
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::fclose(sink);
    EXPECT_EQ(std::filesystem::file_size(log), 0u);
}

// Every cap refuses at one past its limit, before the parser builds anything.
TEST(XmlHostileTest, CapsOnInputNodesAndAttributes) {
    const auto attributes = [](std::size_t count) {
        std::string text = "<a";
        for (std::size_t i = 0; i < count; ++i) {
            text += " a" + std::to_string(i) + "=''";
        }
        return text + "/>";
    };
    const auto widest = XmlDocument::parse(attributes(XmlDocument::maxAttributesPerElement));
    ASSERT_TRUE(widest);
    EXPECT_EQ(widest->rootElement().attributes().size(), XmlDocument::maxAttributesPerElement);
    EXPECT_FALSE(XmlDocument::parse(attributes(XmlDocument::maxAttributesPerElement + 1)));
    // The attributes of another element and '=' in text do not count towards one element's.
    EXPECT_TRUE(XmlDocument::parse("<r>" + attributes(XmlDocument::maxAttributesPerElement) +
                                   attributes(XmlDocument::maxAttributesPerElement) + "</r>"));
    // Nor does '=' in the text after a tag, which any text we write may hold: what we write reads back.
    std::string full = attributes(XmlDocument::maxAttributesPerElement);
    full.replace(full.size() - 2, 2, ">" + std::string(XmlDocument::maxNodes, '=') + "</a>");
    const auto fullDoc = XmlDocument::parse(full);
    ASSERT_TRUE(fullDoc);
    EXPECT_TRUE(XmlDocument::parse(fullDoc->xmlString()));
    // A '>' or the other quote inside a value does not end the tag: its attributes still count.
    std::string quoted = "<a";
    for (std::size_t i = 0; i <= XmlDocument::maxAttributesPerElement; ++i) {
        quoted += " a" + std::to_string(i) + (i % 2 == 0 ? "='>'" : "=\">'\"");
    }
    EXPECT_FALSE(XmlDocument::parse(quoted + "/>"));

    std::string elements = "<r>";
    for (std::size_t i = 1; i <= XmlDocument::maxNodes; ++i) {
        elements += "<e/>";
    }
    EXPECT_FALSE(XmlDocument::parse(elements)); // one more than the cap with the root
    // End tags make no nodes, so elements written with them count once.
    std::string closed = "<r>";
    for (std::size_t i = 0; i < XmlDocument::maxNodes * 3 / 5; ++i) {
        closed += "<e></e>";
    }
    const auto closedDoc = XmlDocument::parse(closed + "</r>");
    ASSERT_TRUE(closedDoc);
    EXPECT_EQ(closedDoc->rootElement().content().size(), XmlDocument::maxNodes * 3 / 5);
    std::string references = "<r>";
    references.append(XmlDocument::maxNodes, '&');
    EXPECT_FALSE(XmlDocument::parse(references));

    std::string large = "<a>" + std::string(XmlDocument::maxInputBytes - 7, 'x') + "</a>";
    EXPECT_TRUE(XmlDocument::parse(large));
    large += ' ';
    EXPECT_FALSE(XmlDocument::parse(large));
}

// Markup is counted in the code units the parser will read; an encoding in which it cannot be is refused.
TEST(XmlHostileTest, EncodingsThatHideMarkupAreRefused) {
    const auto utf16 = [](std::string_view ascii) {
        std::string text = "\xFF\xFE";
        for (char c : ascii) {
            text += c;
            text += '\0';
        }
        return text;
    };
    std::string wide = "<a";
    for (std::size_t i = 0; i <= XmlDocument::maxAttributesPerElement; ++i) {
        wide += " a" + std::to_string(i) + "=''";
    }
    wide += "/>";
    struct Case {
        std::string input;
        bool parses;
    };
    const Case cases[] = {
        {utf16("<a b='1'/>"), true},
        {utf16(wide), false},
        {"<?xml version='1.0' encoding='ISO-8859-15'?><a/>", true},
        {"<?xml version='1.0' encoding = \"windows-1252\"?><a/>", true},
        {"<?xml version='1.0' encoding='UTF-16LE'?>" + utf16("<a/>").substr(2), false},
        {"<?xml version='1.0' encoding='ISO-2022-JP'?><a/>", false},
        {"<?xml version='1.0' encoding='UTF-7'?><a/>", false},
        {"<?xml version='1.0'" + std::string(5000, ' ') + "encoding='ISO-2022-JP'?><a/>", false},
        {std::string("\x4C\x6F\xA7\x94\x93\x40", 6), false}, // EBCDIC
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.input.substr(0, 60)));
        EXPECT_EQ(XmlDocument::parse(c.input).has_value(), c.parses);
    }
}

TEST(XmlParseTest, DepthIsCapped) {
    const auto deepest = XmlDocument::parse(nested(XmlDocument::maxDepth));
    ASSERT_TRUE(deepest);
    EXPECT_EQ(deepest->rootElement().stringValue(), "x");
    EXPECT_FALSE(XmlDocument::parse(nested(XmlDocument::maxDepth + 1)));
    EXPECT_FALSE(XmlDocument::parse(nested(10000)));
    // Unclosed nesting, as a recovering parser would otherwise try to close it all.
    std::string open;
    for (int i = 0; i < 10000; ++i) {
        open += "<d>";
    }
    EXPECT_FALSE(XmlDocument::parse(open));
}

// Declared entities are never substituted, so an expansion bomb expands to nothing.
TEST(XmlHostileTest, EntityExpansionBombIsNotExpanded) {
    std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        bomb += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) {
            bomb += (i == 1 ? std::string("&lol;") : "&lol" + std::to_string(i - 1) + ";");
        }
        bomb += "\">\n";
    }
    bomb += "]>\n<lolz a=\"&lol9;\">&lol9;<b>&lol9;</b></lolz>";
    const auto doc = XmlDocument::parse(bomb);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->rootElement().stringValue(), "");
    EXPECT_EQ(doc->rootElement().attribute("a").value_or("missing").size(), 0u);

    // The same with parameter entities inside the internal subset.
    const auto parameters =
        XmlDocument::parse("<!DOCTYPE r [<!ENTITY % a \"<!ENTITY b 'boom'>\"> %a; ]><r>&b;</r>");
    if (parameters) {
        EXPECT_EQ(parameters->rootElement().stringValue(), "");
    }
}

TEST(XmlHostileTest, ExternalDtdAndFileEntitiesAreNeverRead) {
    TempDir dir;
    const auto secret = dir.write("secret.txt", "SECRET");
    const auto dtd = dir.write("evil.dtd", "<!ENTITY leak SYSTEM \"file://" + secret.string() +
                                               "\">\n<!ATTLIST r injected CDATA \"DEFAULT\">\n");
    const std::string inputs[] = {
        "<!DOCTYPE r SYSTEM \"file://" + dtd.string() + "\"><r>&leak;</r>",
        "<!DOCTYPE r SYSTEM \"" + dtd.string() + "\"><r>&leak;</r>",
        "<!DOCTYPE r [<!ENTITY leak SYSTEM \"file://" + secret.string() + "\">]><r>&leak;</r>",
        "<!DOCTYPE r [<!ENTITY leak SYSTEM \"" + secret.string() + "\">]><r a=\"&leak;\">&leak;</r>",
        "<!DOCTYPE r [<!ENTITY % ext SYSTEM \"file://" + dtd.string() + "\"> %ext; ]><r>&leak;</r>",
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const auto doc = XmlDocument::parse(input);
        if (!doc) {
            continue; // refusing is as good as ignoring
        }
        EXPECT_EQ(doc->rootElement().stringValue().find("SECRET"), std::string::npos);
        EXPECT_EQ(doc->rootElement().attribute("injected"), std::nullopt);
        EXPECT_EQ(doc->rootElement().attribute("a").value_or("").find("SECRET"), std::string::npos);
    }
}

// A listener on the loopback interface counts every connection the parser would make to fetch
// something, and closes it at once so that a faulty parser fails the test instead of hanging in it.
class LoopbackListener {
public:
    LoopbackListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(fd_, 8) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] {
            while (!stop_) {
                const int connection = ::accept(fd_, nullptr, nullptr);
                if (connection >= 0) {
                    ++connections_;
                    ::close(connection);
                } else {
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
            }
        });
    }
    ~LoopbackListener() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int port() const { return port_; }
    // Connections so far, after a moment for one just made to be accepted.
    int connections() const {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return connections_;
    }

private:
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::thread thread_;
};

TEST(XmlHostileTest, NetworkEntitiesAreNeverFetched) {
    LoopbackListener listener;
    ASSERT_NE(listener.port(), 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(listener.port()) + "/x";
    const std::string inputs[] = {
        "<!DOCTYPE r [<!ENTITY net SYSTEM \"" + url + "\">]><r>&net;</r>",
        "<!DOCTYPE r SYSTEM \"" + url + "\"><r/>",
        "<!DOCTYPE r PUBLIC \"-//X//Y//EN\" \"" + url + "\"><r/>",
        "<!DOCTYPE r [<!ENTITY % net SYSTEM \"" + url + "\"> %net; ]><r/>",
        "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"" + url + "\"/></r>",
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const auto doc = XmlDocument::parse(input);
        if (doc) {
            EXPECT_EQ(doc->rootElement().stringValue(), "");
        }
        EXPECT_EQ(listener.connections(), 0);
    }
}

TEST(XmlParseTest, ParsesFilesWithinTheSizeCap) {
    TempDir dir;
    const auto file =
        dir.write("fontdefs.xml", "<font><id>f1</id><displayname>Font One</displayname></font>");
    const auto doc = XmlDocument::parseFile(file);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->rootElement().firstChild("displayname")->stringValue(), "Font One");
    EXPECT_FALSE(XmlDocument::parseFile(file, 10));
    EXPECT_FALSE(XmlDocument::parseFile(dir / "missing.xml"));
    EXPECT_FALSE(XmlDocument::parseFile(dir.path()));
}

TEST(XmlWriteTest, PrettyPrintsWithoutTouchingText) {
    XmlElement root("tovrin");
    root.addAttribute("data-struct-version", "1.5");
    root.addAttribute("platform-type", "MAC");
    root.addAttribute("xml:space", "preserve");
    root.addAttribute("platform-type", "LINUX"); // replaced in place
    XmlElement& pages = root.addChild("pages");
    pages.addChild("page").addAttribute("a-page", "10");
    root.addChild(XmlElement("barline-right", "single"));
    XmlElement& mixed = root.addChild("arbitrary-text");
    mixed.addText(" lead ");
    mixed.addChild("b").addChild(XmlElement("i", "x"));
    mixed.addText(" tail ");
    root.addChild("empty");

    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<tovrin data-struct-version=\"1.5\" platform-type=\"LINUX\" xml:space=\"preserve\">\n"
        "  <pages>\n"
        "    <page a-page=\"10\"/>\n"
        "  </pages>\n"
        "  <barline-right>single</barline-right>\n"
        "  <arbitrary-text> lead <b><i>x</i></b> tail </arbitrary-text>\n"
        "  <empty/>\n"
        "</tovrin>\n";
    EXPECT_EQ(XmlDocument(root).xmlString(), expected);
}

TEST(XmlWriteTest, TextsAndAttributesReadBackExactly) {
    const std::string texts[] = {
        "plain",
        "  leading and trailing  ",
        "   ",
        "a & b < c > d \"q\" 'a'",
        "tab\there\nline\r\nwindows\rmac",
        "]]> <![CDATA[ x",
        "\xC3\xA9\xE2\x99\xAF\xF0\x9D\x84\x9E", // é, sharp sign, G clef
        "&amp; written literally",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        XmlElement root("r");
        root.addAttribute("v", text);
        root.addChild(XmlElement("t", text));
        const auto back = XmlDocument::parse(XmlDocument(root).xmlString());
        ASSERT_TRUE(back);
        EXPECT_EQ(back->rootElement().attribute("v"), text);
        EXPECT_EQ(back->rootElement().firstChild("t")->stringValue(), text);
    }
}

TEST(XmlWriteTest, TextXmlCannotCarryBecomesReplacementCharacters) {
    const std::string replacement = "\xEF\xBF\xBD";
    struct Case {
        std::string input;
        std::string expected;
    };
    const Case cases[] = {
        {std::string("a\x01"
                     "b"),
         "a" + replacement + "b"},
        {std::string("nul\0x", 5), "nul" + replacement + "x"},
        {"bad \xFF byte", "bad " + replacement + " byte"},
        {"cut \xC3", "cut " + replacement},
        {"overlong \xC0\xAF", "overlong " + replacement + replacement},
        {"surrogate \xED\xA0\x80", "surrogate " + replacement + replacement + replacement},
        {"nonchar \xEF\xBF\xBE", "nonchar " + replacement},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        XmlElement root("r");
        root.addAttribute("v", c.input);
        root.addChild(XmlElement("t", c.input));
        const auto back = XmlDocument::parse(XmlDocument(root).xmlString());
        ASSERT_TRUE(back);
        EXPECT_EQ(back->rootElement().attribute("v"), c.expected);
        EXPECT_EQ(back->rootElement().firstChild("t")->stringValue(), c.expected);
    }
}

TEST(XmlWriteTest, WrittenDocumentsReadBackToTheSameTree) {
    XmlElement root("tovrin");
    root.addAttribute("xml:space", "preserve");
    XmlElement& song = root.addChild("song");
    song.addAttribute("rows", "2");
    XmlElement& title = song.addChild("title");
    title.addAttribute("type", "song-property");
    XmlElement& run = title.addChild("formatted-texts").addChild("formatted-text");
    run.addAttribute("font-family", "Helvetica");
    run.addChild(XmlElement("arbitrary-text", " Intro "));
    const XmlDocument doc(root);
    const auto back = XmlDocument::parse(doc.xmlString());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->xmlString(), doc.xmlString());
    EXPECT_EQ(back->xmlData(), doc.xmlData());
}

TEST(XmlElementTest, CopiesAreDeepAndTextsJoin) {
    XmlElement original("a");
    original.addChild("b").addText("one");
    XmlElement copy = original;
    copy.firstChild("b")->addText("two");
    EXPECT_EQ(original.stringValue(), "one");
    EXPECT_EQ(copy.stringValue(), "onetwo");
    EXPECT_EQ(copy.firstChild("b")->content().size(), 1u);
    copy.setStringValue("");
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_FALSE(original.isEmpty());
}
