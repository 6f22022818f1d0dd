#include <cstdio>
int main()
{
    std::puts("korvela3d-cli: under construction");
    return 1;
}
