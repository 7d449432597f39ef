/* Asks a top-level window to close as a window manager's close button does,
 * with a WM_DELETE_WINDOW message: Xvfb runs no window manager to send one.
 * Fails if the window does not take that message.
 *
 *   sdkdemo_close_window WINDOW_ID      (as xwininfo prints it: 0x...) */

#include <xcb/xcb.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, (uint16_t)strlen(name), name), NULL);
    const xcb_atom_t found = reply ? reply->atom : XCB_ATOM_NONE;
    free(reply);
    return found;
}

static int takesDelete(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t protocols,
                       xcb_atom_t deleteWindow)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, protocols, XCB_ATOM_ATOM, 0, 32), NULL);
    if (!reply)
        return 0;
    const xcb_atom_t *atoms = xcb_get_property_value(reply);
    const int count = xcb_get_property_value_length(reply) / (int)sizeof(xcb_atom_t);
    int found = 0;
    for (int i = 0; i < count; ++i)
        found |= atoms[i] == deleteWindow;
    free(reply);
    return found;
}

int main(int argc, char **argv)
{
    char *end = NULL;
    const unsigned long id = argc == 2 ? strtoul(argv[1], &end, 0) : 0;
    if (id == 0 || *end != '\0') {
        fprintf(stderr, "usage: sdkdemo_close_window WINDOW_ID\n");
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection)) {
        fprintf(stderr, "sdkdemo_close_window: cannot open the display\n");
        xcb_disconnect(connection);
        return 1;
    }
    const xcb_window_t window = (xcb_window_t)id;
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = atom(connection, "WM_DELETE_WINDOW");
    int status = 0;
    if (!takesDelete(connection, window, protocols, deleteWindow)) {
        fprintf(stderr, "sdkdemo_close_window: window %s does not take WM_DELETE_WINDOW\n", argv[1]);
        status = 1;
    } else {
        /* The event is sent as 32 bytes, whatever the struct's own size. */
        char event[32];
        memset(event, 0, sizeof event);
        xcb_client_message_event_t *message = (xcb_client_message_event_t *)event;
        message->response_type = XCB_CLIENT_MESSAGE;
        message->format = 32;
        message->window = window;
        message->type = protocols;
        message->data.data32[0] = deleteWindow;
        message->data.data32[1] = XCB_CURRENT_TIME;
        xcb_generic_error_t *error = xcb_request_check(
            connection, xcb_send_event_checked(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, event));
        if (error) {
            fprintf(stderr, "sdkdemo_close_window: X error %d sending to %s\n", error->error_code, argv[1]);
            free(error);
            status = 1;
        }
    }
    xcb_disconnect(connection);
    return status;
}
