#pragma once

// Whether SVG elements are shown: display and visibility from presentation
// attributes, style attributes and the simple class and id rules of <style>
// elements, cascaded as CSS does.

#include <string>
#include <string_view>
#include <vector>

// What one element says of itself.
struct SvgElementStyle {
    std::u16string_view id;
    std::u16string_view classes; // the class attribute: names separated by blanks
    std::u16string_view display; // the presentation attribute
    std::u16string_view visibility;
    std::u16string_view style; // the style attribute
};

// The outcome for one element.
struct SvgShown {
    bool displayed = true; // false: display none, the element and all it holds are not drawn
    // Its visibility where it sets one (the children inherit it); else the parent's.
    enum class Visibility { Inherit, Visible, Hidden } visibility = Visibility::Inherit;
};

class SvgStyleSheet {
public:
    // Takes in the text of a <style> element: rules whose selectors are a
    // single class (.name) or id (#name) count; other selectors and at-rules are passed over.
    void add(std::u16string_view css);

    SvgShown shown(const SvgElementStyle& element) const;

private:
    struct Rule {
        bool byId;
        std::u16string name;
        std::u16string property; // "display" or "visibility", in small letters
        std::u16string value;    // in small letters
        bool important;
    };
    std::vector<Rule> rules;
};
