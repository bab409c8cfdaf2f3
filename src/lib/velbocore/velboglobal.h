#pragma once

// Kind of a section object, as reported by typeOfStruObject().
enum ObjType {
    OBJ_NODE = 1,
    OBJ_ELEMENT = 2
};

// Kind of a section element, as reported by typeOfStruElement().
enum ElementType {
    ELEM_TRIANGLE = 1,
    ELEM_CIRCLE = 2
};
