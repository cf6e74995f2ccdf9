#include <string>
#include <vector>

class Shape {
public:
    Shape(int sides) : sides_(sides) {}
    int sides() const { return sides_; }

private:
    int sides_;
};

int countSides(std::vector<Shape> shapes) {
    int total = 0;
    for (std::vector<Shape>::iterator it = shapes.begin(); it != shapes.end(); it++) {
        total += it->sides();
    }
    return total;
}

int lastIndex() {
    int values[4] = {1, 2, 3, 4};
    return values[4];
}
