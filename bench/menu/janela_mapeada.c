/* janela_mapeada: waits, without polling, for the X server to map a top-level window and prints
 * the moment (nanoseconds of CLOCK_REALTIME, as `date +%s%N`) when it saw the map.
 *
 *   janela_mapeada LARGURA_MINIMA [NOME]
 *
 * It watches the root window's children on $DISPLAY and ends at the first one mapped that is at
 * least LARGURA_MINIMA pixels wide and, when NOME is given, whose title (WM_NAME) is NOME. It
 * prints "pronto" on its first line once it is watching, so that the program to be measured is
 * started only then. A poller that starts a process every few milliseconds would compete for the
 * processor with the start it measures, and the more so the more windows the program shows on
 * its way (a splash bearing the same title). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <xcb/xcb.h>

static long long agora(void)
{
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static int titulo_confere(xcb_connection_t* c, xcb_window_t w, const char* nome)
{
    if (!nome) return 1;
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), NULL);
    if (!r) return 0;
    const int n = xcb_get_property_value_length(r);
    const int confere = n == (int)strlen(nome) && memcmp(xcb_get_property_value(r), nome, (size_t)n) == 0;
    free(r);
    return confere;
}

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "uso: janela_mapeada LARGURA_MINIMA [NOME]\n");
        return 2;
    }
    const int largura_minima = atoi(argv[1]);
    const char* nome = argc == 3 ? argv[2] : NULL;
    int tela = 0;
    xcb_connection_t* c = xcb_connect(NULL, &tela);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "janela_mapeada: sem conexão com o servidor X\n");
        return 1;
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < tela; ++i) xcb_screen_next(&it);
    const uint32_t mascara = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(c, xcb_change_window_attributes_checked(c, it.data->root, XCB_CW_EVENT_MASK, &mascara));
    printf("pronto\n");
    fflush(stdout);

    xcb_generic_event_t* e;
    while ((e = xcb_wait_for_event(c))) {
        const long long momento = agora();
        if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const xcb_window_t w = ((xcb_map_notify_event_t*)e)->window;
            xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), NULL);
            const int largura = g ? g->width : 0;
            free(g);
            if (largura >= largura_minima && titulo_confere(c, w, nome)) {
                printf("%lld\n", momento);
                free(e);
                xcb_disconnect(c);
                return 0;
            }
        }
        free(e);
    }
    fprintf(stderr, "janela_mapeada: a conexão com o servidor X terminou\n");
    return 1;
}
