// Brivel: a table game of flicked checkers between the Red army and the White army.

#include "app/brivel_app.h"

int main(int argc, char** argv) {
    BrivelApp app(argc, argv);
    if (!app.InitInstance()) return 1;
    return app.exec();
}
